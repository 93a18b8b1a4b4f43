// Pictures in any format lunashot-pack reads, told apart by their bytes
// (never their names): PNG through base/png_file.h, JPEG, BMP, TGA and GIF
// through stb_image. PCX is recognised only to be refused by name. Every
// format but PNG is read as RGBA; a GIF is its frames as a player shows them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/png_io.h"

namespace tools {

// "PNG", "JPEG", "BMP", "TGA", "GIF" or "PCX" as the bytes show, else nullptr.
// TGA has no mark: it is what is left when its header is plausible.
const char* PictureFormat(const std::uint8_t* bytes, std::size_t size);
// The same, without the TGA guess: for telling what an existing file is.
const char* MarkedPictureFormat(const std::uint8_t* bytes, std::size_t size);

// The first picture (a GIF's first frame); messages start with `name`.
bool DecodePicture(const std::vector<std::uint8_t>& bytes, const std::string& name, Image* image,
                   std::string* error);
// Every frame of a GIF (each whole, as shown), or the one picture of any other file.
// The frames together hold at most base::kMaxPngPixels pixels.
bool DecodeFrames(const std::vector<std::uint8_t>& bytes, const std::string& name,
                  std::vector<Image>* frames, std::string* error);

// ReadInput plus the decoders above.
bool ReadPicture(const std::string& path, Image* image, std::string* error);
bool ReadFrames(const std::string& path, std::vector<Image>* frames, std::string* error);
// True when the file's first bytes are a picture's (a FIFO or device is never waited on).
bool IsPictureFile(const std::string& path);

}  // namespace tools
