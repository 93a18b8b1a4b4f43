// Draw and DrawFont (placeholder until the video work lands).
#include "video/text.h"

namespace video {

void Draw(SpriteSet*, int, int, int) {}
void DrawFont(SpriteSet*, int, int, const char*, int) {}

}  // namespace video
