// The fixture of the tests that drive the engine through Lua: a fresh pool, state and timeline per
// test, a fake input backend, and globals K (a kind of size 2, one single-frame animation),
// log/note(s) (a trace), f(name) (a global that notes its name), mk(add, kind, x, y, state, up)
// (a still spawn of life 10, K by default), UpdateWorld and Dispatch (Update's timeline step).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "base/fixed.h"
#include "event/timeline.h"
#include "lauxlib.h"
#include "lua.h"
#include "object/instance.h"
#include "object/world.h"
#include "platform/platform.h"
#include "tests/unit/fake_platform.h"
#include "runtime/bindings.h"
#include "script/host.h"

namespace test_support {

// Engine function F as a global of the tests' scripts (the plain C API, so the tests need not
// compile luabind); its errors reach the script as the script interface's do.
template <void (*F)()>
int CallFromLua(lua_State* L) {
  try {
    F();
    return 0;
  } catch (const script::CallbackError&) {  // the callback's error value is on the stack
  } catch (const std::exception& e) {
    lua_pushstring(L, e.what());
  }
  return lua_error(L);
}

class LuaFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    base::InitDirTable();
    object::InitPool();
    script::InitScript();
    runtime::RegisterInterface();
    L = script::LuaState;
    lua_register(L, "UpdateWorld", CallFromLua<object::UpdateWorld>);
    lua_register(L, "Dispatch", CallFromLua<event::DispatchEvents>);
    event::ClearEvent();
    Ok("K = NewObject() K:SetAnimSize(1) K:SetAnim(0, 0, 0, 0, false) K.size = 2\n"
       "log = '' function note(s) log = log .. s .. ' ' end\n"
       "function f(name) _G[name] = function() note(name) end end\n"
       "function mk(add, kind, x, y, s, up) local i = add(kind or K, up, x or 0, y or 0, 0, 0, 0,\n"
       "  10) if s then i.state = s end return i end");
  }
  void TearDown() override {
    script::QuitScript();
    object::InitPool();
  }

  // Runs a chunk; "" on success, else the error message.
  std::string Run(const std::string& code) {
    if (luaL_dostring(L, code.c_str()) == 0) return "";
    const char* m = lua_tostring(L, -1);
    std::string message = m ? m : "(no message)";
    lua_pop(L, 1);
    return message;
  }
  void Ok(const std::string& code) { EXPECT_EQ(Run(code), "") << code; }
  bool HasError(const std::string& code, const std::string& text) {
    std::string e = Run(code);
    if (e.find(text) != std::string::npos) return true;
    ADD_FAILURE() << code << "\nerror: '" << e << "', expected to contain '" << text << "'";
    return false;
  }
  // Evaluates an expression to a string, as tostring gives it (an error fails in Ok).
  std::string Str(const std::string& expression) {
    Ok("_r = tostring(" + expression + ")");
    lua_getglobal(L, "_r");
    std::string v = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    return v;
  }
  int Int(const std::string& expression) { return std::stoi(Str(expression)); }
  std::string Log() { return Str("log"); }  // the trace that note(s) builds
  // The engine instance behind a script value (nullptr for nil).
  object::Instance* Inst(const std::string& expression) {
    Ok("_r = " + expression);
    object::Instance* found = nullptr;
    lua_getglobal(L, "_r");
    for (int n = 0; n < object::kPoolSize && !found && !lua_isnil(L, -1); ++n) {
      script::PushHandle(L, object::HandleOf(object::PoolInstance(n)));
      if (lua_rawequal(L, -1, -2)) found = object::PoolInstance(n);
      lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return found;
  }
  std::vector<object::Instance*> Insts(std::initializer_list<const char*> names) {
    std::vector<object::Instance*> out;
    for (const char* n : names) out.push_back(Inst(n));
    return out;
  }
  // Runs `n` dispatches from the script, as n calls of Update would.
  void Dispatch(int n) {
    for (int i = 0; i < n; ++i) ASSERT_EQ(Run("Dispatch()"), "");
  }

  lua_State* L = nullptr;
  FakeInput input;
  FakeBackends backends_{{nullptr, nullptr, nullptr, &input, nullptr}};
};

}  // namespace test_support
