// A small strict JSON reader for the sheet descriptions art tools export
// (RFC 8259: no comments, no trailing commas). A document is one array of
// values in text order, each followed by its children, so it costs a fixed
// amount per value and the value budget bounds it. Objects keep their members
// in file order, which is the frame order of a hash-style Aseprite export.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

constexpr int kMaxJsonDepth = 64;
// About 48 MiB of values; an 8 MiB export as Aseprite writes it holds about half.
constexpr std::size_t kMaxJsonValues = std::size_t{1} << 20;

// One value; it lives only inside its document's array (its children are
// found by their place after it), so it is never copied out of it.
class Json {
 public:
  enum class Type : std::uint8_t { kNull, kBool, kNumber, kString, kArray, kObject };

  class Iterator {
   public:
    explicit Iterator(const Json* at) : at_(at) {}
    const Json& operator*() const { return *at_; }
    Iterator& operator++() {
      at_ += at_->span_;
      return *this;
    }
    bool operator!=(const Iterator& other) const { return at_ != other.at_; }

   private:
    const Json* at_;
  };
  struct Range {
    Iterator first, last;
    Iterator begin() const { return first; }
    Iterator end() const { return last; }
  };

  Type type = Type::kNull;
  bool boolean = false;
  std::uint32_t count = 0;  // an array's items or an object's members
  double number = 0;

  std::string_view text() const { return {text_, text_size_}; }  // a string's, unescaped
  std::string_view key() const { return {key_, key_size_}; }     // as a member, its name
  // An array's items, or an object's members (each with its key()), in order.
  Range Children() const { return {Iterator(this + 1), Iterator(this + span_)}; }
  // The first member named `key` of an object, or nullptr.
  const Json* Find(std::string_view key) const;

 private:
  friend class JsonParser;
  const char* text_ = nullptr;
  const char* key_ = nullptr;
  std::uint32_t text_size_ = 0, key_size_ = 0;
  std::uint32_t span_ = 1;  // values in this one's tree, itself included
};

class JsonDocument {
 public:
  const Json& root() const { return values_.front(); }

 private:
  friend class JsonParser;
  std::vector<Json> values_;
  std::string strings_;  // the unescaped strings and names, never reallocated
};

// Parses the whole text (nesting at most kMaxJsonDepth deep, at most
// kMaxJsonValues values); false with "line N: problem".
bool ParseJson(const std::string& text, JsonDocument* doc, std::string* error);

}  // namespace tools
