#include "platform/headless/transcript.h"

#include "platform/json.h"

namespace quarn {

void Transcript::Event(const std::string& name, const std::string& text) {
  Line(JsonObject().Add("event", name).Add("text", text).Str());
}

void Transcript::Line(const std::string& json) {
  out_ << json << '\n';
  out_.flush();
}

}  // namespace quarn
