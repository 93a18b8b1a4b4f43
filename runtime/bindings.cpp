// The script interface, declared once: every global function and class a
// script can use, in registration order, in one scope. Entries only forward
// to the engine's own functions. An engine error thrown out of an entry
// becomes a Lua error in the calling script: a script error as its text, a
// failed callback as the callback's own error value.
#include "runtime/bindings.h"

#include <cassert>

#include <luabind/exception_handler.hpp>
#include <luabind/intrusive_ptr_converter.hpp>
#include <luabind/luabind.hpp>

#include "base/error.h"
#include "base/fixed.h"
#include "runtime/frame.h"
#include "base/paths.h"
#include "event/input.h"
#include "event/replay.h"
#include "event/timeline.h"
#include "object/collision.h"
#include "object/geometry.h"
#include "object/instance.h"
#include "object/object.h"
#include "runtime/instance_fields.h"
#include "script/host.h"
#include "sound/sound.h"
#include "video/display.h"
#include "video/palette.h"
#include "video/primitives.h"
#include "video/sprite.h"
#include "video/text.h"

// An instance goes to scripts as its one handle (see bindings.h).
namespace luabind {

template <>
struct default_converter<::object::Instance*> : detail::pointer_converter {
  using detail::pointer_converter::apply;
  void apply(lua_State* L, ::object::Instance* p) { script::PushHandle(L, ::object::HandleOf(p)); }
};

}  // namespace luabind

namespace runtime {

namespace {

using luabind::class_;
using luabind::def;
using object::Instance;
using object::Object;
using sound::Sound;
using video::SpriteSet;

template <class T>
using Handle = boost::intrusive_ptr<T>;

// The drawing primitives' optional last argument, a blend level: each is
// registered twice, without it and with it, and nil is the same as none.
// The level itself is checked by the primitive.
template <const char* kName, class... A>
struct Blendable {
  template <void (*F)(A..., int)>
  static void Without(A... a) {
    F(a..., video::kNoBlend);
  }
  template <void (*F)(A..., int)>
  static void With(A... a, const luabind::object& blend) {
    const int type = luabind::type(blend);
    if (type == LUA_TNIL) return F(a..., video::kNoBlend);
    if (type != LUA_TNUMBER)
      base::Fail(kName, "blend must be 0, 1 or 2 (a blend level), got a %s",
                 lua_typename(blend.interpreter(), type));
    F(a..., luabind::object_cast<int>(blend));
  }
};
constexpr char kDrawPixel[] = "DrawPixel", kDrawLine[] = "DrawLine", kDrawRect[] = "DrawRect",
               kFillRect[] = "FillRect", kDrawCircle[] = "DrawCircle", kFillCircle[] = "FillCircle";
using Point = Blendable<kDrawPixel, int, int, int>;
using Line = Blendable<kDrawLine, int, int, int, int, int>;
template <const char* kName>
using Box = Blendable<kName, int, int, int, int, int>;
template <const char* kName>
using Round = Blendable<kName, int, int, int, int>;

// The failed callback's value is on the stack already; luabind raises the
// top of the stack when the handler returns.
void KeepCallbackError(lua_State*, const script::CallbackError&) {}

}  // namespace

void RegisterInterface() {
  // luabind keeps its handlers for the whole process.
  static const bool handler_registered =
      (luabind::register_exception_handler<script::CallbackError>(&KeepCallbackError), true);
  (void)handler_registered;
  lua_State* L = script::LuaState;
  luabind::open(L);
  // One entry a line, in registration order.
  // clang-format off
  luabind::module(L)[
    def("SetSeed", &base::SetSeed),
    def("Mod", &base::Mod),
    def("GetRand", &base::GetRand),
    def("ToFIXED", &base::ToFIXED),
    def("GetDirY", &base::GetDirY),
    def("GetDirX", &base::GetDirX),
    def("IsOdd", &event::IsOdd),
    def("RunScript", &script::RunScript),
    def("RunReplay", &event::RunReplay),
    def("Update", &runtime::Update),
    def("Present", &runtime::Present),
    def("JoystickUpdate", &event::JoystickUpdate),
    def("GetScriptPath", &base::ScriptGetScriptPath),
    def("GetReplayPath", &base::ScriptGetReplayPath),
    def("GetReplayFiles", &event::GetReplayFiles),
    def("GetReplayFile", &event::GetReplayFile),
    def("Remove", &event::Remove),
    class_<Sound, Handle<Sound>>("Sound"),
    def("SetVol", &sound::SetVol),
    def("LoadSound", &sound::LoadSound),
    def("UnloadSound", &sound::UnloadSound),
    def("PlaySound", &sound::PlaySound),
    def("StopSound", &sound::StopSound),
    def("FISound", &sound::FISound),
    def("FOSound", &sound::FOSound),
    def("AdjustPalette", &video::AdjustPalette),
    def("FadeIn", &video::FadeIn),
    def("FadeOutBlack", &video::FadeOutBlack),
    def("FadeOutWhite", &video::FadeOutWhite),
    def("ResetPalette", &video::ResetPalette),
    def("SetPalette", &video::SetPalette),
    def("SetGamma", &video::SetGamma),
    def("DrawFont", &video::DrawFont),
    def("Draw", &video::Draw),
    def("LoadSpriteSet", &video::LoadSpriteSet),
    class_<SpriteSet, Handle<SpriteSet>>("SpriteSet")
      .def("Release", &video::ReleaseSpriteSet),
    // Beyond the handheld: added beside its interface, which stays as it was.
    def("DrawPixel", &Point::Without<&video::DrawPixel>),
    def("DrawPixel", &Point::With<&video::DrawPixel>),
    def("DrawLine", &Line::Without<&video::DrawLine>),
    def("DrawLine", &Line::With<&video::DrawLine>),
    def("DrawRect", &Box<kDrawRect>::Without<&video::DrawRect>),
    def("DrawRect", &Box<kDrawRect>::With<&video::DrawRect>),
    def("FillRect", &Box<kFillRect>::Without<&video::FillRect>),
    def("FillRect", &Box<kFillRect>::With<&video::FillRect>),
    def("DrawCircle", &Round<kDrawCircle>::Without<&video::DrawCircle>),
    def("DrawCircle", &Round<kDrawCircle>::With<&video::DrawCircle>),
    def("FillCircle", &Round<kFillCircle>::Without<&video::FillCircle>),
    def("FillCircle", &Round<kFillCircle>::With<&video::FillCircle>),
    def("TextWidth", &video::TextWidth),
    def("TextHeight", &video::TextHeight),
    def("SpriteWidth", &video::SpriteWidth),
    def("SpriteHeight", &video::SpriteHeight),
    def("SpriteCount", &video::SpriteCount),
    def("SetClearColour", &runtime::SetClearColour),
    def("GetKey", &event::GetKey),
    def("IsU", &event::IsU),
    def("IsD", &event::IsD),
    def("IsL", &event::IsL),
    def("IsR", &event::IsR),
    def("IsUL", &event::IsUL),
    def("IsDL", &event::IsDL),
    def("IsDR", &event::IsDR),
    def("IsUR", &event::IsUR),
    def("IsStart", &event::IsStart),
    def("IsA", &event::IsA),
    def("IsX", &event::IsX),
    def("IsY", &event::IsY),
    def("ClearEvent", &event::ClearEvent),
    def("AddTimeEvent", &event::AddTimeEvent),
    def("AddEnemy0Event", &event::AddEnemy0Event),
    def("AddEnemy1Event", &event::AddEnemy1Event),
    def("AddLayer0Event", &event::AddLayer0Event),
    def("AddLayer1Event", &event::AddLayer1Event),
    def("AddLayer2Event", &event::AddLayer2Event),
    def("AddLayer3Event", &event::AddLayer3Event),
    def("AddInstanceEvent", &event::AddInstanceEvent),
    def("rep", &event::rep),
    def("SaveReplay", &event::SaveReplay),
    def("SaveReplayFile", &event::SaveReplayFile),
    def("SetTime", &event::SetTime),
    def("GetTime", &event::GetTime),
    def("SetDamage", &object::SetDamage),
    def("GetRkey", &event::GetRkey),
    def("IsRU", &event::IsRU),
    def("IsRD", &event::IsRD),
    def("IsRL", &event::IsRL),
    def("IsRR", &event::IsRR),
    def("IsRUL", &event::IsRUL),
    def("IsRDL", &event::IsRDL),
    def("IsRDR", &event::IsRDR),
    def("IsRUR", &event::IsRUR),
    def("IsRA", &event::IsRA),
    def("IsRX", &event::IsRX),
    def("NewObject", &object::NewObject),
    class_<Object, Handle<Object>>("Object")
      .def("SetSpriteSet", &Object::SetSpriteSet)
      .def("SetAnimSize", &Object::SetAnimSize)
      .def("SetAnim", &Object::SetAnim)
      .def("Release", &Object::Release)
      .property("cx", &object::GetCx, &object::SetCx)
      .property("cy", &object::GetCy, &object::SetCy)
      .property("hp", &object::GetObjectHp, &object::SetObjectHp)
      .property("size", &object::GetSize, &object::SetSize)
      .property("delay", &object::GetDelay, &object::SetDelay),
    def("AddEnemy0", &object::AddEnemy0),
    def("AddEnemy1", &object::AddEnemy1),
    def("AddEBullet", &object::AddEBullet),
    def("AddPBullet", &object::AddPBullet),
    def("AddLayer0", &object::AddLayer0),
    def("AddLayer1", &object::AddLayer1),
    def("AddLayer2", &object::AddLayer2),
    def("AddLayer3", &object::AddLayer3),
    def("ClearInstance", &object::ClearInstance),
    def("GetHP", &object::GetHP),
    def("GetX", &object::GetX),
    def("GetY", &object::GetY),
    def("SetX", &object::SetX),
    def("SetY", &object::SetY),
    def("CheckEBullet", &object::CheckEBullet),
    def("CheckEnemy", &object::CheckEnemy),
    def("GetDist", &object::GetDist),
    def("GetDir", &object::GetDir),
    def("GetDestDist", &object::GetDestDist),
    def("GetDestDir", &object::GetDestDir),
    def("SetDisposer", &object::SetDisposer),
    def("SetUpdater", &object::SetUpdater),
    def("SetParent", &object::SetParent),
    def("GetParent", &object::GetParent),
    def("Dispose", &object::Dispose),
    class_<Instance>("Instance")
      .def_readwrite("hit", &Instance::hit)
      .def_readwrite("anim", &Instance::anim)
      .def_readwrite("age", &Instance::age)
      .def_readwrite("state", &Instance::state)
      .def_readwrite("dir", &Instance::dir)
      .def_readwrite("hp", &Instance::hp)
      .def_readwrite("vel", &Instance::vel)
  ];
  // clang-format on
  for (int i = 0; i < object::kPoolSize; ++i) {
    luabind::detail::make_instance(L, object::PoolInstance(i));
    [[maybe_unused]] int handle = script::AddHandle(L);
    assert(handle == i);
  }
  InstallInstanceFields(L, object::kPoolSize);
  script::ReserveNameSlots(object::kNameSlots);
}

}  // namespace runtime
