#pragma once
// The headless host's transcript: one JSON object a line.

#include <ostream>
#include <string>

namespace quarn {

class Transcript {
 public:
  explicit Transcript(std::ostream& out) : out_(out) {}
  void Event(const std::string& name, const std::string& text);  // {"event":name,"text":text}
  void Line(const std::string& json);                            // a complete JSON object

 private:
  std::ostream& out_;
};

}  // namespace quarn
