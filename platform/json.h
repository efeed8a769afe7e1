#pragma once
// A small writer for the JSON that the transcript and the display list use.
// Doubles are written so they read back as the same double; integers stay integers.

#include <cstdint>
#include <string>
#include <string_view>

namespace quarn {

// Appends text as a JSON string literal. Bytes that are not valid UTF-8 are taken
// as Windows Latin-1 characters (the code page of the scenery files and messages).
void AppendJsonString(std::string& out, std::string_view text);
void AppendJsonNumber(std::string& out, double value);
void AppendJsonNumber(std::string& out, std::int64_t value);

// Builds one JSON object, key by key.
class JsonObject {
 public:
  JsonObject& Add(std::string_view key, std::string_view value);
  JsonObject& Add(std::string_view key, const char* value) {
    return Add(key, std::string_view(value));
  }
  JsonObject& Add(std::string_view key, const std::string& value) {
    return Add(key, std::string_view(value));
  }
  JsonObject& Add(std::string_view key, double value);
  JsonObject& Add(std::string_view key, int value) {
    return Add(key, static_cast<std::int64_t>(value));
  }
  JsonObject& Add(std::string_view key, std::int64_t value);
  JsonObject& Add(std::string_view key, bool value);
  JsonObject& AddRaw(std::string_view key, std::string_view json);
  JsonObject& AddNull(std::string_view key);
  std::string Str() const { return body_ + "}"; }

 private:
  void Key(std::string_view key);
  std::string body_ = "{";
  bool first_ = true;
};

// Converts Windows Latin-1 bytes (code page 1252) to UTF-8 where the text is not
// already valid UTF-8.
std::string ToUtf8(std::string_view text);

}  // namespace quarn
