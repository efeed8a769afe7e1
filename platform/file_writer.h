#pragma once
// Files the user keeps are replaced whole: the new contents go to a temporary file
// beside the target, which is renamed over it only once every byte is written and
// the file is closed. A failure leaves the former file as it was.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quarn {

// True when the file at path now holds exactly these bytes.
bool ReplaceFileContents(const std::string& path, std::span<const std::uint8_t> bytes);
bool ReplaceFileContents(const std::string& path, std::string_view text);

}  // namespace quarn
