// Animated GIF writing over giflib: frames of 8-bit colour indices, each
// through its own 256-colour palette (a local colour table whenever it
// differs from the first frame's), with a delay in 1/100 s, looping forever.
// The file is built in memory, frame by frame, and handed over whole.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/colour.h"

namespace base {

class GifWriter {
 public:
  GifWriter();
  ~GifWriter();
  GifWriter(const GifWriter&) = delete;
  GifWriter& operator=(const GifWriter&) = delete;

  // Starts a width x height animation. False with a message.
  bool Begin(int width, int height, std::string* error);
  // Adds a frame of width * height indices shown through `palette` (256
  // colours) for `delay` hundredths of a second.
  bool AddFrame(const std::uint8_t* pixels, const Rgb* palette, int delay, std::string* error);
  // Ends the file; `bytes` receives it. The writer can Begin again.
  bool Finish(std::vector<std::uint8_t>* bytes, std::string* error);
  // The bytes written so far (a caller's size cap).
  std::size_t Size() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  int frames_ = 0;
};

}  // namespace base
