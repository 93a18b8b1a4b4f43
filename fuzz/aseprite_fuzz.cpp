// Aseprite sheet descriptions: the JSON reader, the export's checks against
// a 256 x 256 sheet, and the animation script made from what they accept.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/aseprite.h"
#include "tools/json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tools::JsonDocument doc;
  std::string error;
  if (!tools::ParseJson(std::string(reinterpret_cast<const char*>(data), size), &doc, &error))
    return 0;
  tools::AsepriteSheet sheet;
  if (!tools::ReadAseprite(doc.root(), "sheet.json", 256, 256, &sheet, &error)) return 0;
  tools::AnimationScript(sheet, "sheet.spr", "sheet.json");
  return 0;
}
