// Recursive descent over the text; every step checks the bytes left, so a
// truncated or hostile file ends in a message, never a read past the end.
#include "tools/json.h"

#include <cstdlib>
#include <cstring>

namespace tools {
namespace {

constexpr int kMaxDepth = 64;

class Parser {
 public:
  explicit Parser(const std::string& text) : text_(text) {}

  bool Document(Json* value, std::string* error) {
    bool ok =
        Value(value, 0) && (Space(), at_ == text_.size() || Fail("text after the JSON value"));
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

  bool Value(Json* value, int depth) {
    Space();
    if (at_ >= text_.size()) return Fail("the text ends where a value should be");
    if (depth > kMaxDepth) return Fail("nested more than 64 deep");
    char c = text_[at_];
    if (c == '{') return Object(value, depth);
    if (c == '[') return Array(value, depth);
    if (c == '"') return value->type = Json::Type::kString, String(&value->text);
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

  static void PutUtf8(unsigned code, std::string* out) {
    if (code < 0x80) {
      *out += char(code);
    } else if (code < 0x800) {
      *out += char(0xc0 | code >> 6), *out += char(0x80 | (code & 0x3f));
    } else if (code < 0x10000) {
      *out += char(0xe0 | code >> 12), *out += char(0x80 | ((code >> 6) & 0x3f)),
          *out += char(0x80 | (code & 0x3f));
    } else {
      *out += char(0xf0 | code >> 18), *out += char(0x80 | ((code >> 12) & 0x3f));
      *out += char(0x80 | ((code >> 6) & 0x3f)), *out += char(0x80 | (code & 0x3f));
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

  bool String(std::string* out) {
    ++at_;  // the opening quote
    out->clear();
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
        PutUtf8(code, out);
      } else {
        return Fail("an unknown escape in a string");
      }
    }
  }

  bool Array(Json* value, int depth) {
    value->type = Json::Type::kArray;
    ++at_;
    Space();
    if (at_ < text_.size() && text_[at_] == ']') return ++at_, true;
    while (true) {
      value->items.emplace_back();
      if (!Value(&value->items.back(), depth + 1)) return false;
      Space();
      if (at_ >= text_.size()) return Fail("an array is not closed");
      char c = text_[at_++];
      if (c == ']') return true;
      if (c != ',') return Fail("expected ',' or ']' in an array");
    }
  }

  bool Object(Json* value, int depth) {
    value->type = Json::Type::kObject;
    ++at_;
    Space();
    if (at_ < text_.size() && text_[at_] == '}') return ++at_, true;
    while (true) {
      Space();
      if (at_ >= text_.size() || text_[at_] != '"') return Fail("expected a member name in quotes");
      std::string key;
      if (!String(&key)) return false;
      Space();
      if (at_ >= text_.size() || text_[at_++] != ':')
        return Fail("expected ':' after a member name");
      value->members.emplace_back(std::move(key), Json());
      if (!Value(&value->members.back().second, depth + 1)) return false;
      Space();
      if (at_ >= text_.size()) return Fail("an object is not closed");
      char c = text_[at_++];
      if (c == '}') return true;
      if (c != ',') return Fail("expected ',' or '}' in an object");
    }
  }

  const std::string& text_;
  std::size_t at_ = 0;
  std::string problem_;
};

}  // namespace

const Json* Json::Find(const std::string& key) const {
  for (const auto& member : members)
    if (member.first == key) return &member.second;
  return nullptr;
}

bool ParseJson(const std::string& text, Json* value, std::string* error) {
  *value = Json();
  return Parser(text).Document(value, error);
}

}  // namespace tools
