// The per-frame world update (step, cull, player-bullet hits, returns to the
// pool) and the render of the eight lists in their fixed order.
#pragma once

namespace object {

void UpdateWorld();
void RenderWorld();

}  // namespace object
