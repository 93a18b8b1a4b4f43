// Frame recording: every Present also writes the screen as the player sees
// it (the pixels through the palette last uploaded) as DIR/000001.png,
// 000002.png, ... A failure to write is reported once (base::OutputFailed:
// stderr, log.txt, and a headless run's exit status) and ends the
// recording; the game goes on.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "video/palette.h"

namespace video {

// Starts recording into `dir` (created when missing; its parent is not).
void StartRecording(const std::string& dir);
// Also writes one line per presented frame to the file `path`: the frame's
// number (six digits, counted as the PNG names are), a space, and the md5
// of its RGB bytes, row by row; these compare runs of different builds.
// A failed write stops the file, reported as above.
void StartFrameHashes(const std::string& path);
// Stops both and closes the hash file.
void StopRecording();
bool Recording();
// Writes the next numbered frame (and its hash); Present calls it after
// each copy.
void RecordFrame(const std::uint8_t* pixels);

// Animation recording: from StartGif on, every presented frame goes into
// an animated GIF (through the palette shown with it, each pixel a `scale`
// x `scale` square, 2/100 s a frame: GIF delays count hundredths, and most
// viewers slow anything shorter), written to `path` at StopGif or when it
// reaches 256 MiB. A missing or closed folder is found at the start. Each
// failure, and the cap, is reported once as above; the game goes on.
constexpr int kMaxGifScale = 8;
// The screen's pixels with each one a `scale` x `scale` square (GIFs,
// screenshots at the window's size).
void ScaleFrame(const std::uint8_t* pixels, int scale, std::vector<std::uint8_t>* out);
void StartGif(const std::string& path, int scale);
// Writes the file. False with a message (nothing recorded, cannot write).
bool StopGif(std::string* error);
bool GifRecording();
void RecordGifFrame(const std::uint8_t* pixels);

// Writes width x height colour indices as an indexed PNG through `palette`
// (256 colours). False with a message on failure.
bool WritePng(const char* path, const std::uint8_t* pixels, int width, int height,
              const Color* palette, std::string* error);

}  // namespace video
