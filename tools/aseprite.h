// Aseprite's sheet export (File > Export Sprite Sheet, JSON data): the frames
// as "array" or "hash", their durations, the frame tags and the slices'
// pivots, and the Lua that gives a kind those animations and its hotspot.
#pragma once
#include <string>
#include <vector>

#include "tools/json.h"

namespace tools {

// The largest export read: real ones hold tens of bytes a frame.
constexpr std::size_t kMaxAsepriteBytes = std::size_t{8} << 20;

struct AsepriteFrame {
  int x = 0, y = 0, w = 0, h = 0;  // the frame's rectangle in the sheet
  int left = 0, top = 0;           // where it sits in the untrimmed frame
  int width = 0, height = 0;       // the untrimmed frame (sourceSize)
  int duration = 100;              // milliseconds
  int hot_x = 0, hot_y = 0;        // the pivot, else the centre, in the untrimmed frame
};

struct AsepriteTag {
  std::string name;
  int from = 0, to = 0;
  std::string direction;  // forward, reverse, pingpong
  bool loop = true;       // false when the tag repeats a set number of times
};

struct AsepriteSheet {
  std::vector<AsepriteFrame> frames;
  std::vector<AsepriteTag> tags;
  bool pivots = false;  // a slice gave the hotspots
};

// Reads the export; every frame must lie inside a sheet of sheet_w x
// sheet_h. Messages start with `name`.
bool ReadAseprite(const Json& doc, const std::string& name, int sheet_w, int sheet_h,
                  AsepriteSheet* sheet, std::string* error);

// True when `head`, the start of a file, opens with the line every
// AnimationScript opens with ("-- Animations of SET from JSON, made by
// lunashot-pack."): only such a file is replaced by a new script.
bool IsAnimationScript(const std::string& head);

// Steps (at 60 per second) that a frame of `ms` milliseconds stays beyond
// its first: the SetAnim hold, 0 to 255.
int HoldFor(double ms);

// The script beside the sprite set: SetAnimSize, one SetAnim per tag (hold
// from the tag's mean duration), the kind's hotspot and every sprite's.
std::string AnimationScript(const AsepriteSheet& sheet, const std::string& set_name,
                            const std::string& json_name);

}  // namespace tools
