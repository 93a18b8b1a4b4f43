// World update and render (placeholder until the objects work lands).
#include "object/world.h"

namespace object {

void UpdateWorld() {}
void RenderWorld() {}

}  // namespace object
