// The export's fields are checked for type and range as they are read: a
// hand-edited or foreign JSON file gets a message naming the field.
#include "tools/aseprite.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/sprite_file.h"

namespace tools {
namespace {

// A kind's animation table has an 8-bit size.
constexpr std::uint32_t kMaxAnimations = 255;
// The engine takes any hotspot, but one farther from the frame's corner than
// the largest sprite's side draws the sprite wholly away from its instance:
// a slip of the pivot, or a hostile file.
constexpr int kMaxHotspot = base::kMaxSpriteSide;
constexpr long kBig = 65535;
// The first line of every script the tool writes is these around the names.
const char kScriptStart[] = "-- Animations of ";
const char kScriptEnd[] = ", made by lunashot-pack.";
// Stands for a list the export leaves out: it has no children.
const Json kNoList;

struct Reader {
  std::string name;
  std::string* error;

  bool Fail(const std::string& problem) {
    *error = name + ": " + problem;
    return false;
  }
  // An integer member of `object` within [low, high].
  bool Int(const Json& object, const char* key, const std::string& where, long low, long high,
           int* out) {
    const Json* v = object.Find(key);
    if (!v || v->type != Json::Type::kNumber || v->number != std::floor(v->number) ||
        v->number < low || v->number > high)
      return Fail(where + ": \"" + key + "\" must be a whole number from " + std::to_string(low) +
                  " to " + std::to_string(high));
    *out = int(v->number);
    return true;
  }
  const Json* Object(const Json& parent, const char* key, const std::string& where) {
    const Json* v = parent.Find(key);
    if (!v || v->type != Json::Type::kObject) {
      Fail(where + ": no \"" + key + "\" object");
      return nullptr;
    }
    return v;
  }
};

}  // namespace

bool IsAnimationScript(const std::string& head) {
  std::string line = head.substr(0, head.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::size_t start = std::strlen(kScriptStart), end = std::strlen(kScriptEnd);
  return line.size() >= start + end && line.compare(0, start, kScriptStart) == 0 &&
         line.compare(line.size() - end, end, kScriptEnd) == 0;
}

int HoldFor(double ms) { return std::clamp(int(std::lround(ms * 60 / 1000)) - 1, 0, 255); }

bool ReadAseprite(const Json& doc, const std::string& name, int sheet_w, int sheet_h,
                  AsepriteSheet* sheet, std::string* error) {
  *sheet = AsepriteSheet();
  Reader r{name, error};
  if (doc.type != Json::Type::kObject)
    return r.Fail("not an Aseprite export (the JSON is not an object)");
  const Json* frames = doc.Find("frames");
  if (!frames || (frames->type != Json::Type::kArray && frames->type != Json::Type::kObject))
    return r.Fail("no \"frames\" array or hash: not an Aseprite sheet export");
  std::vector<const Json*> list;
  for (const Json& f : frames->Children()) list.push_back(&f);
  if (list.empty()) return r.Fail("the export has no frames");
  for (std::size_t i = 0; i < list.size(); ++i) {
    std::string where = "frame " + std::to_string(i);
    if (list[i]->type != Json::Type::kObject) return r.Fail(where + " is not an object");
    AsepriteFrame f;
    const Json* rect = r.Object(*list[i], "frame", where);
    if (!rect || !r.Int(*rect, "x", where, 0, kBig, &f.x) ||
        !r.Int(*rect, "y", where, 0, kBig, &f.y) || !r.Int(*rect, "w", where, 1, kBig, &f.w) ||
        !r.Int(*rect, "h", where, 1, kBig, &f.h))
      return false;
    if (long(f.x) + f.w > sheet_w || long(f.y) + f.h > sheet_h)
      return r.Fail(where + ": " + std::to_string(f.w) + "x" + std::to_string(f.h) + " at (" +
                    std::to_string(f.x) + ", " + std::to_string(f.y) + ") reaches outside the " +
                    std::to_string(sheet_w) + "x" + std::to_string(sheet_h) + " sheet");
    f.width = f.w, f.height = f.h;
    if (const Json* source = list[i]->Find("spriteSourceSize")) {
      if (!r.Int(*source, "x", where + " spriteSourceSize", 0, kBig, &f.left) ||
          !r.Int(*source, "y", where + " spriteSourceSize", 0, kBig, &f.top))
        return false;
    }
    if (const Json* size = list[i]->Find("sourceSize")) {
      if (!r.Int(*size, "w", where + " sourceSize", 1, kBig, &f.width) ||
          !r.Int(*size, "h", where + " sourceSize", 1, kBig, &f.height))
        return false;
    }
    if (long(f.left) + f.w > f.width || long(f.top) + f.h > f.height)
      return r.Fail(where + ": the trimmed frame does not fit its sourceSize");
    if (list[i]->Find("duration") && !r.Int(*list[i], "duration", where, 0, 1000000, &f.duration))
      return false;
    f.hot_x = f.width / 2, f.hot_y = f.height / 2;
    sheet->frames.push_back(f);
  }
  const Json* meta = doc.Find("meta");
  if (meta && meta->type != Json::Type::kObject) return r.Fail("\"meta\" is not an object");
  const Json* tags = meta ? meta->Find("frameTags") : nullptr;
  if (tags && tags->type != Json::Type::kArray) return r.Fail("\"frameTags\" is not an array");
  long last = long(sheet->frames.size()) - 1;
  if (tags && tags->count > kMaxAnimations)
    return r.Fail(std::to_string(tags->count) + " frame tags, more than the " +
                  std::to_string(kMaxAnimations) + " animations a kind holds");
  std::size_t i = 0;
  for (const Json& t : (tags ? *tags : kNoList).Children()) {
    std::string where = "frame tag " + std::to_string(i++);
    if (t.type != Json::Type::kObject) return r.Fail(where + " is not an object");
    AsepriteTag tag;
    if (!r.Int(t, "from", where, 0, last, &tag.from) ||
        !r.Int(t, "to", where, tag.from, last, &tag.to))
      return false;
    if (const Json* n = t.Find("name"); n && n->type == Json::Type::kString)
      tag.name = std::string(n->text());
    tag.direction = "forward";
    if (const Json* d = t.Find("direction"); d && d->type == Json::Type::kString)
      tag.direction = std::string(d->text());
    if (tag.direction != "forward" && tag.direction != "reverse" && tag.direction != "pingpong" &&
        tag.direction != "pingpong_reverse")
      return r.Fail(where + ": unknown direction \"" + tag.direction + "\"");
    if (const Json* rep = t.Find("repeat"))
      tag.loop = (rep->type == Json::Type::kString && rep->text() == "0") ||
                 (rep->type == Json::Type::kNumber && rep->number == 0);
    if (tag.to > 255)
      return r.Fail(where + " (" + tag.name +
                    ") uses frames past 255, which an animation cannot show");
    sheet->tags.push_back(tag);
  }
  // The first slice with a pivot gives the hotspots: each key holds from its
  // frame to the next key's (of one frame, the last given wins). The keys
  // are marked on their frames, then one pass carries them on.
  const Json* slices = meta ? meta->Find("slices") : nullptr;
  std::vector<int> key_at(sheet->frames.size(), -1);
  std::vector<std::pair<int, int>> hotspots;
  i = 0;
  for (const Json& slice :
       (slices && slices->type == Json::Type::kArray ? *slices : kNoList).Children()) {
    std::string where = "slice " + std::to_string(i++);
    const Json* keys = slice.Find("keys");
    if (!keys || keys->type != Json::Type::kArray) continue;
    for (const Json& key : keys->Children()) {
      const Json* pivot = key.Find("pivot");
      const Json* bounds = key.Find("bounds");
      if (!pivot || !bounds) continue;
      int frame, bx, by, px, py;
      if (!r.Int(key, "frame", where, 0, last, &frame) ||
          !r.Int(*bounds, "x", where, -kBig, kBig, &bx) ||
          !r.Int(*bounds, "y", where, -kBig, kBig, &by) ||
          !r.Int(*pivot, "x", where, -kBig, kBig, &px) ||
          !r.Int(*pivot, "y", where, -kBig, kBig, &py))
        return false;
      int x = bx + px, y = by + py;
      if (std::abs(x) > kMaxHotspot || std::abs(y) > kMaxHotspot)
        return r.Fail(where + ": the pivot puts the hotspot at (" + std::to_string(x) + ", " +
                      std::to_string(y) + "), farther than " + std::to_string(kMaxHotspot) +
                      " pixels, the largest sprite's side, from the frame's corner");
      key_at[std::size_t(frame)] = int(hotspots.size());
      hotspots.emplace_back(x, y);
    }
    if (!hotspots.empty()) break;
  }
  sheet->pivots = !hotspots.empty();
  int held = -1;
  for (std::size_t f = 0; f < sheet->frames.size(); ++f) {
    held = key_at[f] >= 0 ? key_at[f] : held;
    if (held >= 0)
      sheet->frames[f].hot_x = hotspots[held].first, sheet->frames[f].hot_y = hotspots[held].second;
  }
  return true;
}

std::string AnimationScript(const AsepriteSheet& sheet, const std::string& set_name,
                            const std::string& json_name) {
  auto clean = [](std::string s) {
    for (char& c : s)
      if (c == '\n' || c == '\r') c = ' ';
    return s;
  };
  std::string lua = kScriptStart + clean(set_name) + " from " + clean(json_name) + kScriptEnd +
                    "\n-- Run it with `kind` set to the Object that shows the sprite set; holds " +
                    "are steps at 60 per second.\n";
  lua += "kind:SetAnimSize(" + std::to_string(sheet.tags.size()) + ")\n";
  for (std::size_t i = 0; i < sheet.tags.size(); ++i) {
    const AsepriteTag& t = sheet.tags[i];
    double ms = 0;
    for (int f = t.from; f <= t.to; ++f) ms += sheet.frames[f].duration;
    ms /= (t.to - t.from + 1);
    bool backwards = t.direction == "reverse" || t.direction == "pingpong_reverse";
    lua += "kind:SetAnim(" + std::to_string(i) + ", " + std::to_string(backwards ? t.to : t.from) +
           ", " + std::to_string(backwards ? t.from : t.to) + ", " + std::to_string(HoldFor(ms)) +
           ", " + (t.loop ? "true" : "false") + ")  -- " + clean(t.name) +
           (t.direction.compare(0, 8, "pingpong") == 0 ? " (ping-pong plays one way here)" : "") +
           "\n";
  }
  const AsepriteFrame& first = sheet.frames.front();
  lua += std::string("-- The hotspot: ") +
         (sheet.pivots ? "the slice's pivot" : "the frame's centre") + ".\n";
  lua += "kind.cx = " + std::to_string(first.hot_x) + "\nkind.cy = " + std::to_string(first.hot_y) +
         "\n";
  lua += "-- Each sprite's hotspot, {x, y}, by sprite index.\nhotspots = {";
  for (std::size_t i = 0; i < sheet.frames.size(); ++i)
    lua += std::string(i ? ", " : "") + (i ? "" : "[0] = ") + "{" +
           std::to_string(sheet.frames[i].hot_x) + ", " + std::to_string(sheet.frames[i].hot_y) +
           "}";
  lua += "}\n";
  return lua;
}

}  // namespace tools
