// Palette changes against sprite sets: pixels are counted and re-mapped by
// their palette index, blended pixels by their source colour.
#include "tools/remap.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "base/file.h"

namespace tools {

std::array<std::uint8_t, 256> RemapTable(const Palette& old_colours, const Palette& new_colours) {
  std::array<std::uint8_t, 256> table;
  NearestColour nearest(new_colours);
  for (int i = 0; i < 256; ++i)
    table[i] = old_colours[i] == new_colours[i] ? std::uint8_t(i) : nearest.Find(old_colours[i]);
  return table;
}

bool RemapSet(const std::vector<std::uint8_t>& bytes, const std::array<std::uint8_t, 256>& table,
              std::vector<base::SpriteData>* sprites, std::size_t* moved, std::string* error) {
  std::vector<base::SpriteView> views;
  if (!base::DecodeSpriteSet(bytes.data(), bytes.size(), &views, error)) return false;
  sprites->assign(views.size(), {});
  *moved = 0;
  for (std::size_t i = 0; i < views.size(); ++i) {
    base::PixelImage image = base::DecodeSprite(views[i]);
    for (base::Pixel& p : image.pixels) {
      if (p.kind == base::Pixel::kTransparent || table[p.index] == p.index) continue;
      p.index = table[p.index];
      ++*moved;
    }
    if (!base::EncodeSprite(image, &(*sprites)[i], error)) return false;
  }
  return true;
}

std::vector<std::pair<std::string, std::size_t>> SetsHitByPalette(const std::string& dir,
                                                                  const Palette& old_colours,
                                                                  const Palette& new_colours) {
  std::vector<std::pair<std::string, std::size_t>> hit;
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".spr") == 0) names.push_back(name);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    std::string path = dir + "/" + name;
    std::vector<std::uint8_t> bytes;
    std::vector<base::SpriteView> views;
    base::FileError failure;
    std::string error;
    if (!base::ReadFile(path, base::kMaxSpriteFileBytes, &bytes, &failure) ||
        !base::DecodeSpriteSet(bytes.data(), bytes.size(), &views, &error))
      continue;
    std::size_t count = 0;
    for (const base::SpriteView& view : views)
      for (const base::Pixel& p : base::DecodeSprite(view).pixels)
        if (p.kind != base::Pixel::kTransparent && !(old_colours[p.index] == new_colours[p.index]))
          ++count;
    if (count) hit.emplace_back(path, count);
  }
  return hit;
}

}  // namespace tools
