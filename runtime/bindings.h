// The registration of the script interface, free of luabind: only the units
// that declare the interface (bindings.cpp) and reach into luabind's objects
// (instance_fields.cpp) compile its templates. Instances are pooled and never
// freed, so each has one handle made at registration and pushed by pool
// index every time (scripts may compare handles and use them as keys).
// Sprite sets, kinds and sounds are held through intrusive counts, so a
// handle never dangles; their released flags turn late uses into errors.
#pragma once

namespace runtime {

// Opens luabind in the state InitScript made, registers the whole script
// interface, then makes the 1000 instance handles, whose numbers are their
// pool indices.
void RegisterInterface();

}  // namespace runtime
