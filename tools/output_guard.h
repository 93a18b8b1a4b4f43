// Guards every output of lunashot-pack against the one mistake that loses
// work: writing over a source. An output is refused when it is one of the
// inputs (the same file, whatever the name) or when a file of another kind
// already sits under its name (a picture, palette, JSON, Lua or sound).
#pragma once
#include <string>
#include <vector>

namespace tools {

// What an output is; `extension` is the one a command line may name it by
// without -o.
enum class OutputKind { kSpriteSet, kPalette, kPicture, kScript, kSound };
const char* ExtensionOf(OutputKind kind);

// True when the name ends in the kind's extension (any letter case).
bool HasExtension(const std::string& path, OutputKind kind);

// False with "OUT: is also an input (...); nothing was written" or "OUT: is
// an existing PNG picture, not a sprite set; ..." when writing would destroy
// something that is not an earlier output of this kind.
bool CheckOutput(const std::string& path, OutputKind kind, const std::vector<std::string>& inputs,
                 std::string* error);

}  // namespace tools
