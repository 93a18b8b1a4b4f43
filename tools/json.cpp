// Recursive descent over the text; every step checks the bytes left, so a
// truncated or hostile file ends in a message, never a read past the end.
// Both arrays are reserved before the first value for the most the text can
// hold, so neither moves while values point into the strings.
#include "tools/json.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

namespace tools {

class JsonParser {
 public:
  JsonParser(const std::string& text, JsonDocument* doc)
      : text_(text), values_(doc->values_), strings_(doc->strings_) {
    // A value takes at least one byte and a separator; an unescaped string
    // is never longer than its quoted text.
    values_.reserve(std::min(kMaxJsonValues, text.size() / 2 + 1));
    strings_.reserve(text.size());
  }

  bool Document(std::string* error) {
    bool ok = Value(0) && (Space(), at_ == text_.size() || Fail("text after the JSON value"));
    if (!ok) {
      int line = 1;
      for (std::size_t i = 0; i < at_ && i < text_.size(); ++i) line += text_[i] == '\n';
      *error = "line " + std::to_string(line) + ": " + problem_;
    }
    return ok;
  }

 private:
  bool Fail(const std::string& problem) {
    if (problem_.empty()) problem_ = problem;
    return false;
  }
  void Space() {
    while (at_ < text_.size() && std::strchr(" \t\r\n", text_[at_]) && text_[at_]) ++at_;
  }
  bool Word(const char* word) {
    std::size_t n = std::strlen(word);
    if (text_.compare(at_, n, word) != 0) return Fail("unexpected text");
    at_ += n;
    return true;
  }

  // Appends the value at the text's place, then its children.
  bool Value(int depth) {
    Space();
    if (at_ >= text_.size()) return Fail("the text ends where a value should be");
    if (depth > kMaxJsonDepth) return Fail("nested more than 64 deep");
    if (values_.size() == kMaxJsonValues)
      return Fail("more than " + std::to_string(kMaxJsonValues) +
                  " values, more than lunashot-pack reads");
    std::size_t at = values_.size();
    values_.emplace_back();
    Json* value = &values_.back();
    char c = text_[at_];
    bool ok = true;
    if (c == '{') {
      ok = Object(at, depth);
    } else if (c == '[') {
      ok = Array(at, depth);
    } else if (c == '"') {
      value->type = Json::Type::kString;
      ok = String(&value->text_, &value->text_size_);
    } else {
      ok = Scalar(value);
    }
    values_[at].span_ = std::uint32_t(values_.size() - at);
    return ok;
  }

  bool Scalar(Json* value) {
    char c = text_[at_];
    if (c == 't' || c == 'f') {
      value->type = Json::Type::kBool;
      value->boolean = c == 't';
      return Word(c == 't' ? "true" : "false");
    }
    if (c == 'n') return Word("null");
    return Number(value);
  }

  bool Number(Json* value) {
    std::size_t start = at_;
    auto digits = [&] {
      std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ > from;
    };
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    if (at_ < text_.size() && text_[at_] == '0')
      ++at_;
    else if (!digits())
      return Fail("expected a value");
    if (at_ < text_.size() && text_[at_] == '.' && (++at_, !digits()))
      return Fail("a number needs digits after '.'");
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) return Fail("a number needs digits in its exponent");
    }
    value->type = Json::Type::kNumber;
    value->number = std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
    return true;
  }

  void PutUtf8(unsigned code) {
    std::string& out = strings_;
    if (code < 0x80) {
      out += char(code);
    } else if (code < 0x800) {
      out += char(0xc0 | code >> 6), out += char(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
      out += char(0xe0 | code >> 12), out += char(0x80 | ((code >> 6) & 0x3f)),
          out += char(0x80 | (code & 0x3f));
    } else {
      out += char(0xf0 | code >> 18), out += char(0x80 | ((code >> 12) & 0x3f));
      out += char(0x80 | ((code >> 6) & 0x3f)), out += char(0x80 | (code & 0x3f));
    }
  }

  bool Hex4(unsigned* code) {
    if (text_.size() - at_ < 4) return Fail("\\u needs four hexadecimal digits");
    *code = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text_[at_++];
      int v = c >= '0' && c <= '9'   ? c - '0'
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                     : -1;
      if (v < 0) return Fail("\\u needs four hexadecimal digits");
      *code = *code * 16 + unsigned(v);
    }
    return true;
  }

  // Unescapes the string at the text's place onto the end of `strings_`.
  bool String(const char** start, std::uint32_t* size) {
    ++at_;  // the opening quote
    const char* before = strings_.data();
    std::size_t from = strings_.size();
    bool ok = StringBody();
    assert(strings_.data() == before);
    (void)before;
    *start = strings_.data() + from;
    *size = std::uint32_t(strings_.size() - from);
    return ok;
  }

  bool StringBody() {
    std::string* out = &strings_;
    while (true) {
      if (at_ >= text_.size()) return Fail("a string is not closed");
      char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return Fail("a control character inside a string");
      if (c != '\\') {
        *out += c;
        continue;
      }
      if (at_ >= text_.size()) return Fail("a string is not closed");
      char e = text_[at_++];
      const char* from = "\"\\/bfnrt";
      const char* to = "\"\\/\b\f\n\r\t";
      if (const char* p = e ? std::strchr(from, e) : nullptr) {
        *out += to[p - from];
      } else if (e == 'u') {
        unsigned code;
        if (!Hex4(&code)) return false;
        if (code >= 0xd800 && code < 0xdc00) {
          unsigned low;
          if (text_.compare(at_, 2, "\\u") != 0 || (at_ += 2, !Hex4(&low)) || low < 0xdc00 ||
              low >= 0xe000)
            return Fail("a lone surrogate in \\u escapes");
          code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
        } else if (code >= 0xdc00 && code < 0xe000) {
          return Fail("a lone surrogate in \\u escapes");
        }
        PutUtf8(code);
      } else {
        return Fail("an unknown escape in a string");
      }
    }
  }

  bool Array(std::size_t at, int depth) {
    values_[at].type = Json::Type::kArray;
    ++at_;
    Space();
    if (at_ < text_.size() && text_[at_] == ']') return ++at_, true;
    while (true) {
      ++values_[at].count;
      if (!Value(depth + 1)) return false;
      Space();
      if (at_ >= text_.size()) return Fail("an array is not closed");
      char c = text_[at_++];
      if (c == ']') return true;
      if (c != ',') return Fail("expected ',' or ']' in an array");
    }
  }

  bool Object(std::size_t at, int depth) {
    values_[at].type = Json::Type::kObject;
    ++at_;
    Space();
    if (at_ < text_.size() && text_[at_] == '}') return ++at_, true;
    while (true) {
      Space();
      if (at_ >= text_.size() || text_[at_] != '"') return Fail("expected a member name in quotes");
      const char* key;
      std::uint32_t key_size;
      if (!String(&key, &key_size)) return false;
      Space();
      if (at_ >= text_.size() || text_[at_++] != ':')
        return Fail("expected ':' after a member name");
      ++values_[at].count;
      std::size_t member = values_.size();
      bool ok = Value(depth + 1);
      if (member < values_.size()) values_[member].key_ = key, values_[member].key_size_ = key_size;
      if (!ok) return false;
      Space();
      if (at_ >= text_.size()) return Fail("an object is not closed");
      char c = text_[at_++];
      if (c == '}') return true;
      if (c != ',') return Fail("expected ',' or '}' in an object");
    }
  }

  const std::string& text_;
  std::vector<Json>& values_;
  std::string& strings_;
  std::size_t at_ = 0;
  std::string problem_;
};

const Json* Json::Find(std::string_view key) const {
  if (type != Type::kObject) return nullptr;
  for (const Json& member : Children())
    if (member.key() == key) return &member;
  return nullptr;
}

bool ParseJson(const std::string& text, JsonDocument* doc, std::string* error) {
  *doc = JsonDocument();
  return JsonParser(text, doc).Document(error);
}

}  // namespace tools
