#include "record/xml_input.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "record/text_input.h"
#include "record/track_builder.h"

namespace quarn {
namespace {

constexpr double kMostAltitudeMetres = 1e6;
constexpr double kMetresPerFoot = 0.3048;

// The document type is kept as a node only to be refused; no entity is expanded but
// XML's own five and character references. An element's text is kept in the element
// rather than in a node of its own: the same text for a third of the memory.
constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_doctype | pugi::parse_embed_pcdata;

// A run is cut into pieces of about this many bytes, and a short run into this many
// pieces, so that the cores share a small file too.
constexpr std::size_t kLargestPiece = std::size_t{256} << 10;
constexpr std::size_t kSmallestPiece = 512;
constexpr std::size_t kPiecesOfShortRun = 32;

// What stands in for a piece in the outline; no track file has elements of this name.
constexpr char kStandInName[] = "quarn-piece";
constexpr std::string_view kStandIn = "<quarn-piece/>";

bool IsXmlBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool EndsName(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '>' || c == '/';
}

// Where the start tag of one of the items begins, at or after from; npos when none
// does.
std::size_t FindItemStart(std::string_view text, std::size_t from,
                          std::initializer_list<std::string_view> names) {
  for (std::size_t at = text.find('<', from); at != std::string_view::npos;
       at = text.find('<', at + 1)) {
    const std::string_view tag = text.substr(at + 1);
    for (std::string_view name : names) {
      if (tag.size() > name.size() && tag.starts_with(name) && EndsName(tag[name.size()])) {
        return at;
      }
    }
  }
  return std::string_view::npos;
}

// Where the last end tag of one of the items ends, after from, and the item's name;
// npos when none does.
std::size_t FindLastItemEnd(std::string_view text, std::size_t from,
                            std::initializer_list<std::string_view> names,
                            std::string_view& lastName) {
  for (std::size_t at = text.rfind('<'); at != std::string_view::npos && at > from;
       at = text.rfind('<', at - 1)) {
    const std::string_view tag = text.substr(at);
    for (std::string_view name : names) {
      if (tag.size() >= name.size() + 3 && tag[1] == '/' && tag.substr(2).starts_with(name) &&
          tag[name.size() + 2] == '>') {
        lastName = name;
        return at + name.size() + 3;
      }
    }
  }
  return std::string_view::npos;
}

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

std::optional<XmlPieces> XmlPieces::Cut(std::string_view text, std::string_view root,
                                        std::initializer_list<std::string_view> itemNames) {
  const std::size_t first = FindItemStart(text, 0, itemNames);
  if (first == std::string_view::npos) return std::nullopt;
  XmlPieces x;
  const std::size_t last = FindLastItemEnd(text, first, itemNames, x.lastItem_);
  if (last == std::string_view::npos) return std::nullopt;

  const std::size_t pieceBytes =
      std::clamp((last - first) / kPiecesOfShortRun, kSmallestPiece, kLargestPiece);
  for (std::size_t at = first; at < last;) {
    std::size_t end = last;
    if (last - at > pieceBytes)
      end = std::min(last, FindItemStart(text, at + pieceBytes, itemNames));
    x.pieces_.push_back(text.substr(at, end - at));
    at = end;
  }
  const std::string_view head = x.pieces_.front();
  std::size_t itemsInHead = 0;
  for (std::size_t at = 0; at != std::string_view::npos;
       at = FindItemStart(head, at + 1, itemNames)) {
    ++itemsInHead;
  }
  x.estimatedItems_ = static_cast<std::size_t>(static_cast<double>(itemsInHead) *
                                               static_cast<double>(last - first) /
                                               static_cast<double>(head.size()));

  const std::string_view tail = text.substr(last);
  // XML text holds no NUL, and the parser would take one for the end of the text; the
  // whole read says where one is. The pieces are looked through as they are parsed.
  if (text.substr(0, first).find('\0') != std::string_view::npos ||
      tail.find('\0') != std::string_view::npos) {
    return std::nullopt;
  }
  x.outline_.reserve(first + x.pieces_.size() * kStandIn.size() + tail.size());
  x.outline_.insert(x.outline_.end(), text.begin(),
                    text.begin() + static_cast<std::ptrdiff_t>(first));
  for (std::size_t i = 0; i < x.pieces_.size(); ++i) {
    x.standIns_.push_back(static_cast<std::ptrdiff_t>(x.outline_.size() + 1));
    x.outline_.insert(x.outline_.end(), kStandIn.begin(), kStandIn.end());
  }
  x.outline_.insert(x.outline_.end(), tail.begin(), tail.end());
  x.document_ = std::make_unique<pugi::xml_document>();
  if (!x.document_->load_buffer_inplace(x.outline_.data(), x.outline_.size(), kParseOptions,
                                        pugi::encoding_utf8)) {
    return std::nullopt;
  }
  for (pugi::xml_node node : x.document_->children()) {
    if (node.type() == pugi::node_doctype) return std::nullopt;
  }
  if (LocalName(x.root()) != root) return std::nullopt;
  return x;
}

int XmlPieces::Meet(pugi::xml_node node) {
  if (node.type() != pugi::node_element || std::strcmp(node.name(), kStandInName) != 0) {
    return kNoStandIn;
  }
  if (met_ == standIns_.size() || node.offset_debug() != standIns_[met_]) return kOutOfPlace;
  return static_cast<int>(met_++);
}

bool ParsePiece(std::string_view piece, std::vector<char>& buffer, pugi::xml_document& doc) {
  if (piece.find('\0') != std::string_view::npos) return false;
  buffer.assign(piece.begin(), piece.end());
  if (!doc.load_buffer_inplace(buffer.data(), buffer.size(), kParseOptions | pugi::parse_fragment,
                               pugi::encoding_utf8)) {
    return false;
  }
  // A document type declaration parses among a fragment's top nodes, but within an
  // element it is an error.
  for (pugi::xml_node node : doc.children()) {
    if (node.type() == pugi::node_doctype) return false;
  }
  return true;
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
  // One pass over the name, which ends at a NUL: the part after its last colon.
  const char* name = node.name();
  const char* local = name;
  const char* at = name;
  for (; *at != '\0'; ++at) {
    if (*at == ':') local = at + 1;
  }
  return {local, static_cast<std::size_t>(at - local)};
}

std::string_view LocalPart(std::string_view name) {
  const std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool IsElement(pugi::xml_node node, std::string_view localName) {
  return node.type() == pugi::node_element && LocalName(node) == localName;
}

std::string_view TrimXmlBlanks(std::string_view text) {
  // A plain walk: every value of a million points is trimmed, and a search for any of
  // a set of characters looks the set through for each character.
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsXmlBlank(text[begin])) ++begin;
  while (end > begin && IsXmlBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string_view TextOf(pugi::xml_node element) {
  return TrimXmlBlanks(element.child_value());
}

std::optional<std::string> TimeFromText(std::string_view text, double& seconds) {
  if (text.empty()) {
    seconds = kNoValue;
    return std::nullopt;
  }
  const std::optional<double> time = ParseIsoTime(text);
  if (!time) return "time \"" + std::string(text) + "\" is not an ISO 8601 date and time";
  // Tracks stamp to the millisecond at the finest; finer steps would only make the
  // derived speeds and rates boundless.
  seconds = std::round(*time * 1000) / 1000;
  return std::nullopt;
}

std::optional<XmlFault> TimeIn(pugi::xml_node element, double& seconds) {
  if (auto what = TimeFromText(TextOf(element), seconds))
    return XmlFault{element, std::move(*what)};
  return std::nullopt;
}

std::optional<double> AltitudeFeet(double metres) {
  if (!(std::fabs(metres) <= kMostAltitudeMetres)) return std::nullopt;
  return metres / kMetresPerFoot;
}

}  // namespace quarn
