#include "record/xml_input.h"

#include <algorithm>
#include <cmath>

#include "record/text_input.h"
#include "record/track_builder.h"

namespace quarn {
namespace {

constexpr double kMostAltitudeMetres = 1e6;
constexpr double kMetresPerFoot = 0.3048;

// The document type is kept as a node only to be refused; no entity is expanded but
// XML's own five and character references.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_doctype;

}  // namespace

TrackXml::TrackXml(std::string_view text, std::string name)
    : text_(text), name_(std::move(name)), document_(std::make_unique<pugi::xml_document>()) {}

Result<TrackXml> TrackXml::Parse(std::string_view text, const std::string& name,
                                 std::string_view root, std::string_view kind) {
  TrackXml xml(text, name);
  // XML text holds no NUL, and the parser would take one for the end of the text.
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
    return ReadErrorAt(name, xml.LineAtOffset(nul), "a NUL byte, which XML text cannot hold");
  }
  const pugi::xml_parse_result parsed =
      xml.document_->load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
  if (!parsed) {
    const auto at = static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0));
    return ReadErrorAt(
        name, xml.LineAtOffset(at),
        std::string("the XML is cut short or damaged (") + parsed.description() + ")");
  }
  for (pugi::xml_node node : xml.document_->children()) {
    if (node.type() != pugi::node_doctype) continue;
    // The node starts at its content: the line is the one of its "<!DOCTYPE".
    const std::ptrdiff_t offset = node.offset_debug();
    std::size_t at = offset < 0 ? 0 : static_cast<std::size_t>(offset);
    if (const std::size_t open = text.rfind('<', at); open != std::string_view::npos) at = open;
    return ReadErrorAt(name, xml.LineAtOffset(at), "document type declarations are not read");
  }
  const pugi::xml_node element = xml.root();
  if (LocalName(element) != root) {
    return xml.ErrorAt(element, "not a " + std::string(kind) + " file: the root element is <" +
                                    element.name() + ">");
  }
  return xml;
}

int TrackXml::LineAtOffset(std::size_t offset) {
  offset = std::min(offset, text_.size());
  const char* base = text_.data();
  if (offset >= countedTo_) {
    countedLine_ += static_cast<int>(std::count(base + countedTo_, base + offset, '\n'));
  } else {
    countedLine_ -= static_cast<int>(std::count(base + offset, base + countedTo_, '\n'));
  }
  countedTo_ = offset;
  return countedLine_;
}

int TrackXml::LineOf(pugi::xml_node node) {
  const std::ptrdiff_t offset = node.offset_debug();
  // Every node of a parsed file lies in its text; a node without an offset keeps the
  // line counted last.
  return offset < 0 ? countedLine_ : LineAtOffset(static_cast<std::size_t>(offset));
}

Error TrackXml::ErrorAt(pugi::xml_node node, const std::string& what) {
  return ReadErrorAt(name_, LineOf(node), what);
}

std::string_view LocalName(pugi::xml_node node) {
  const std::string_view name = node.name();
  const std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool IsElement(pugi::xml_node node, std::string_view localName) {
  return node.type() == pugi::node_element && LocalName(node) == localName;
}

std::string_view TrimXmlBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string_view TextOf(pugi::xml_node element) {
  return TrimXmlBlanks(element.child_value());
}

Result<double> TimeIn(TrackXml& xml, pugi::xml_node element) {
  const std::string_view text = TextOf(element);
  if (text.empty()) return kNoValue;
  const std::optional<double> time = ParseIsoTime(text);
  if (!time) {
    return xml.ErrorAt(element,
                       "time \"" + std::string(text) + "\" is not an ISO 8601 date and time");
  }
  // Tracks stamp to the millisecond at the finest; finer steps would only make the
  // derived speeds and rates boundless.
  return std::round(*time * 1000) / 1000;
}

std::optional<double> AltitudeFeet(double metres) {
  if (!(std::fabs(metres) <= kMostAltitudeMetres)) return std::nullopt;
  return metres / kMetresPerFoot;
}

}  // namespace quarn
