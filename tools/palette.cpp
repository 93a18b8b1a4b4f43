// The palette sources of lunashot-pack: indexed PNG and GIMP .gpl.
#include "tools/palette.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <sstream>

#include <libimagequant.h>

#include "base/pal_file.h"

namespace tools {

bool ParseGimpPalette(const std::string& text, const std::string& name, Palette* palette,
                      int* colours, std::string* error) {
  palette->fill(Rgb{0, 0, 0});
  *colours = 0;
  std::istringstream in(text);
  std::string line;
  int line_number = 0;
  bool header = false;
  auto fail = [&](const std::string& problem) {
    *error = name + ", line " + std::to_string(line_number) + ": " + problem;
    return false;
  };
  while (std::getline(in, line)) {
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line_number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos) continue;
    line.erase(0, start);
    if (!header) {
      if (line.compare(0, 12, "GIMP Palette") != 0)
        return fail("not a GIMP palette (no \"GIMP Palette\" header)");
      header = true;
      continue;
    }
    if (line[0] == '#' || line.compare(0, 5, "Name:") == 0 || line.compare(0, 8, "Columns:") == 0)
      continue;
    int value[3];
    const char* p = line.c_str();
    for (int i = 0; i < 3; ++i) {
      char* end;
      long v = std::strtol(p, &end, 10);
      if (end == p || v < 0 || v > 255 || (*end && !std::isspace(static_cast<unsigned char>(*end))))
        return fail("expected three numbers 0-255 (red green blue)");
      value[i] = int(v);
      p = end;
    }
    if (*colours == 256) return fail("more than 256 colours");
    (*palette)[*colours] =
        Rgb{std::uint8_t(value[0]), std::uint8_t(value[1]), std::uint8_t(value[2])};
    ++*colours;
  }
  if (!header) {
    *error = name + ": not a GIMP palette (empty file)";
    return false;
  }
  if (*colours == 0) {
    *error = name + ": the palette has no colours";
    return false;
  }
  return true;
}

bool ReadPaletteSource(const std::string& path, Palette* palette, int* colours,
                       std::string* error) {
  std::vector<std::uint8_t> bytes;
  if (!ReadInput(path, kMaxInputBytes, &bytes, error)) return false;
  static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin())) {
    Image image;
    if (!DecodePng(bytes, path, &image, error)) return false;
    if (image.format != Image::Format::kIndexed) {
      *error = path + ": not an indexed PNG, so it has no palette to take";
      return false;
    }
    TakePalette(image, palette, colours);
    return true;
  }
  std::string text(bytes.begin(), bytes.end());
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || (text.compare(start, 12, "GIMP Palette") != 0 &&
                                     text.compare(start, 15, "\xEF\xBB\xBFGIMP Palette") != 0)) {
    *error = path + ": neither a PNG nor a GIMP palette (.gpl)";
    return false;
  }
  return ParseGimpPalette(text, path, palette, colours, error);
}

void TakePalette(const Image& image, Palette* palette, int* colours) {
  palette->fill(Rgb{0, 0, 0});
  *colours = int(image.palette.size());
  for (int i = 0; i < *colours; ++i) (*palette)[i] = image.palette[i];
}

namespace {

// Frees the quantiser's objects on every path.
struct Quantiser {
  liq_attr* attr = liq_attr_create();
  liq_histogram* histogram = attr ? liq_histogram_create(attr) : nullptr;
  liq_result* result = nullptr;
  ~Quantiser() {
    if (result) liq_result_destroy(result);
    if (histogram) liq_histogram_destroy(histogram);
    if (attr) liq_attr_destroy(attr);
  }
};

}  // namespace

void ColourCounts::Add(Rgb colour, std::uint64_t count) {
  if (boxed()) {
    std::uint64_t& bits = seen_[colour.Packed() >> 6];
    std::uint64_t bit = std::uint64_t{1} << (colour.Packed() & 63);
    distinct_ += (bits & bit) == 0;
    bits |= bit;
    AddToBox(colour, count);
    return;
  }
  auto inserted = counts_.emplace(colour.Packed(), 0);
  if (inserted.second) order_.push_back(colour), ++distinct_;
  inserted.first->second += count;
  if (order_.size() <= kExactColours) return;
  // Too many to keep one by one: from here on, boxes.
  boxes_.resize(std::size_t{1} << 18);
  seen_.resize((std::size_t{1} << 24) / 64);
  for (Rgb c : order_) {
    seen_[c.Packed() >> 6] |= std::uint64_t{1} << (c.Packed() & 63);
    AddToBox(c, counts_[c.Packed()]);
  }
  std::vector<Rgb>().swap(order_);
  std::unordered_map<std::uint32_t, std::uint64_t>().swap(counts_);
}

void ColourCounts::AddToBox(Rgb colour, std::uint64_t count) {
  Box& box = boxes_[std::size_t(colour.r >> 2) << 12 | std::size_t(colour.g >> 2) << 6 |
                    std::size_t(colour.b >> 2)];
  box.r += colour.r * count, box.g += colour.g * count, box.b += colour.b * count;
  box.n += count;
}

bool ColourCounts::Seen(Rgb colour) const {
  if (boxed()) return seen_[colour.Packed() >> 6] >> (colour.Packed() & 63) & 1;
  return counts_.count(colour.Packed()) != 0;
}

std::vector<ColourCounts::Entry> ColourCounts::Entries() const {
  std::vector<Entry> entries;
  for (Rgb c : order_) entries.push_back({c, counts_.at(c.Packed())});
  for (const Box& box : boxes_)
    if (box.n)
      entries.push_back(
          {Rgb{std::uint8_t((box.r + box.n / 2) / box.n), std::uint8_t((box.g + box.n / 2) / box.n),
               std::uint8_t((box.b + box.n / 2) / box.n)},
           box.n});
  return entries;
}

void ColourCounts::AddImage(const Image& image) {
  std::size_t count = std::size_t(image.width) * image.height;
  for (std::size_t i = 0; i < count; ++i) {
    if (image.format == Image::Format::kIndexed) {
      std::uint8_t index = image.pixels[i];
      if (index < image.palette.size() && image.palette_alpha[index] != 0)
        Add(image.palette[index]);
    } else {
      const std::uint8_t* p = &image.pixels[i * (image.format == Image::Format::kRgb ? 3 : 4)];
      if (image.format == Image::Format::kRgb || p[3] != 0) Add(Rgb{p[0], p[1], p[2]});
    }
  }
}

bool BuildPalette(const ColourCounts& colours, const std::vector<Rgb>& fixed, int reserve,
                  Palette* palette, PaletteReport* report, std::string* error) {
  *report = PaletteReport();
  palette->fill(Rgb{0, 0, 0});
  std::unordered_map<std::uint32_t, bool> is_fixed;
  for (std::size_t i = 0; i < fixed.size(); ++i) {
    (*palette)[i] = fixed[i];
    is_fixed[fixed[i].Packed()] = true;
  }
  int start = std::max(reserve, int(fixed.size()));
  int room = 256 - start;
  std::vector<ColourCounts::Entry> wanted;
  for (const ColourCounts::Entry& e : colours.Entries())
    if (colours.boxed() || !is_fixed.count(e.colour.Packed())) wanted.push_back(e);
  std::size_t distinct = colours.distinct();
  for (const auto& f : is_fixed)
    distinct -= colours.Seen(
        Rgb{std::uint8_t(f.first >> 16), std::uint8_t(f.first >> 8), std::uint8_t(f.first)});
  report->distinct = int(distinct);
  if (distinct <= std::size_t(room)) {
    for (std::size_t i = 0; i < wanted.size(); ++i) (*palette)[start + i] = wanted[i].colour;
    report->placed = int(wanted.size());
    return true;
  }
  // Quantised: the fixed colours take part so that colours near them are not
  // given entries of their own; they come back unchanged and are dropped.
  int most = room + int(fixed.size());
  if (most < 2) {
    *error =
        "no room left in the palette for the pictures' " + std::to_string(distinct) + " colours";
    return false;
  }
  Quantiser q;
  if (!q.histogram || liq_set_max_colors(q.attr, most) != LIQ_OK) {
    *error = "the colour quantiser could not start";
    return false;
  }
  std::vector<liq_histogram_entry> entries;
  entries.reserve(wanted.size());
  for (const ColourCounts::Entry& e : wanted)
    entries.push_back({{e.colour.r, e.colour.g, e.colour.b, 255},
                       unsigned(std::min<std::uint64_t>(e.count, UINT_MAX))});
  for (Rgb c : fixed) liq_histogram_add_fixed_color(q.histogram, {c.r, c.g, c.b, 255}, 0);
  if (liq_histogram_add_colors(q.histogram, q.attr, entries.data(), int(entries.size()), 0) !=
          LIQ_OK ||
      liq_histogram_quantize(q.histogram, q.attr, &q.result) != LIQ_OK) {
    *error = "the colour quantiser failed on " + std::to_string(distinct) + " colours";
    return false;
  }
  const liq_palette* reduced = liq_get_palette(q.result);
  int at = start;
  for (unsigned i = 0; i < reduced->count; ++i) {
    Rgb c{reduced->entries[i].r, reduced->entries[i].g, reduced->entries[i].b};
    if (is_fixed.count(c.Packed()) || at == 256) continue;
    (*palette)[at++] = c;
  }
  report->placed = at - start;
  report->reduced = true;
  report->error = liq_get_quantization_error(q.result);
  return true;
}

}  // namespace tools
