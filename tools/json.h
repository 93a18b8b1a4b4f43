// A small strict JSON reader for the sheet descriptions art tools export
// (RFC 8259: no comments, no trailing commas). Objects keep their members in
// file order, which is the frame order of a hash-style Aseprite export.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace tools {

struct Json {
  enum class Type { kNull, kBool, kNumber, kString, kArray, kObject };
  Type type = Type::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;                            // an array's
  std::vector<std::pair<std::string, Json>> members;  // an object's, in order

  // The member named `key` of an object, or nullptr.
  const Json* Find(const std::string& key) const;
};

// Parses the whole text (nesting at most 64 deep); false with
// "line N: problem".
bool ParseJson(const std::string& text, Json* value, std::string* error);

}  // namespace tools
