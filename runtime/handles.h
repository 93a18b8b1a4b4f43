// How engine objects travel to scripts. Instances are pooled and never
// freed, so each has one handle made at registration and pushed by pool
// index every time (scripts may compare handles and use them as keys).
// Sprite sets, kinds and sounds are held through intrusive counts, so a
// handle never dangles; their released flags turn late uses into errors.
#pragma once

#include <luabind/intrusive_ptr_converter.hpp>
#include <luabind/luabind.hpp>

#include "object/instance.h"
#include "script/host.h"

namespace luabind {

template <>
struct default_converter<::object::Instance*> : detail::pointer_converter {
  using detail::pointer_converter::apply;
  void apply(lua_State* L, ::object::Instance* p) { script::PushHandle(L, ::object::HandleOf(p)); }
};

}  // namespace luabind

namespace runtime {

// Registers the whole script interface (bindings.cpp), then makes the 1000
// instance handles, whose numbers are their pool indices.
void RegisterInterface();

}  // namespace runtime
