// The per-frame world update (step, cull, player-bullet hits, returns to the
// pool) and the render of the eight lists in their fixed order. Callbacks
// made during the update may do anything a script can (see instance.h for
// how walks stay valid); the render calls no script.
#pragma once

namespace object {

void UpdateWorld();
// Draws every live instance into video::BackBuffer (nothing without one).
// An instance whose kind has no sprite set, whose `anim` is not below the
// kind's animsize or whose `frame` is not a sprite of the set is not drawn.
void RenderWorld();

}  // namespace object
