#pragma once
// What the XML track readers (GPX, KML) share: a document parsed without document
// types or entities whose nodes tell their lines, the same document read in pieces on
// every core, and the values their elements hold.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace quarn {

// A value of a track file that is wrong: the node that holds it and what is wrong.
struct XmlFault {
  pugi::xml_node node;
  std::string what;
};

// A track file's XML document, parsed whole with its root element checked.
class TrackXml {
 public:
  // The document of text, or an error naming the line: XML that is cut short or
  // damaged, a document type declaration (the way external entities come in), or a
  // root element whose local name is not root. kind names the format ("GPX"). The
  // text must outlive the document.
  static Result<TrackXml> Parse(std::string_view text, const std::string& name,
                                std::string_view root, std::string_view kind);

  pugi::xml_node root() const { return document_->document_element(); }

  // The line a node starts on. Counting goes on from the node asked for last; lines
  // are counted only for the errors that name them.
  int LineOf(pugi::xml_node node);
  Error ErrorAt(pugi::xml_node node, const std::string& what);
  Error ErrorAt(const XmlFault& fault) { return ErrorAt(fault.node, fault.what); }

 private:
  TrackXml(std::string_view text, std::string name);
  int LineAtOffset(std::size_t offset);

  std::string_view text_;
  std::string name_;
  std::unique_ptr<pugi::xml_document> document_;
  std::size_t countedTo_ = 0;  // the offset whose line is countedLine_
  int countedLine_ = 1;
};

// A track file read in pieces on every core. The run of the elements that hold the
// points (trkpt; when and gx:coord) is cut into pieces at the starts of those
// elements and each piece parsed by itself; the rest of the file, its outline, is
// parsed whole with an empty element standing in for each piece. XML is read the
// same way from wherever a piece starts, so when every piece parses as whole elements
// and every stand-in is found as an element where its piece was, the outline with the
// pieces' nodes in the stand-ins' places is the document, node for node. Where that
// is not so -- a piece cut across its parent's end, damaged XML, a value in error --
// the reader reads the file whole instead, which finds the fault and names its line.
class XmlPieces {
 public:
  // The pieces and the outline of the text, or nothing when the text has no run of
  // items or its outline does not parse with a root element of that local name.
  // itemNames: the elements whose starts cut the run, as the file names them.
  static std::optional<XmlPieces> Cut(std::string_view text, std::string_view root,
                                      std::initializer_list<std::string_view> itemNames);

  pugi::xml_node root() const { return document_->document_element(); }
  std::span<const std::string_view> pieces() const { return pieces_; }
  std::size_t pieceCount() const { return pieces_.size(); }
  // About how many items the run holds, told from its first piece.
  std::size_t EstimatedItems() const { return estimatedItems_; }
  // The name of the item whose end tag ends the run, as given to Cut.
  std::string_view lastItem() const { return lastItem_; }

  // What a node of the outline is to a walk that meets the stand-ins in order.
  static constexpr int kNoStandIn = -1;   // an ordinary node
  static constexpr int kOutOfPlace = -2;  // a stand-in's name where none was put, or out of turn
  // The index of the piece the node stands in for, else one of the above.
  int Meet(pugi::xml_node node);
  // Whether the walk met every stand-in: one in a place the walk does not go would
  // leave its piece unread.
  bool MetAll() const { return met_ == pieces_.size(); }

 private:
  XmlPieces() = default;

  std::vector<char> outline_;  // parsed in place: the nodes point into it
  std::unique_ptr<pugi::xml_document> document_;
  std::vector<std::string_view> pieces_;
  std::vector<std::ptrdiff_t> standIns_;  // where each stand-in's name starts in the outline
  std::size_t met_ = 0;
  std::size_t estimatedItems_ = 0;
  std::string_view lastItem_;
};

// XML in its plainest form, read without a parser: start tags whose attributes are
// quoted and hold no entity, tab or line end; text that holds no entity or carriage
// return; end tags with their start tag's name; blanks between. Such XML parses to
// exactly these names, attributes and texts. A reader walks a piece with it and,
// wherever it meets anything else (a comment, an entity, text where elements are),
// gives up and has the piece parsed instead. The steps are inline: they run for every
// byte of a file.
class PlainXml {
 public:
  explicit PlainXml(std::string_view text) : text_(text) {}

  bool AtEnd() const { return at_ == text_.size(); }
  void SkipBlanks() {
    while (at_ < text_.size() && Is(text_[at_], kBlank)) ++at_;
  }
  // Whether an end tag comes next, after blanks.
  bool AtEndTag() {
    SkipBlanks();
    return text_.size() - at_ >= 2 && text_[at_] == '<' && text_[at_ + 1] == '/';
  }
  // A start tag's name; its attributes are then taken one by one, then its end.
  bool StartTag(std::string_view& name) {
    SkipBlanks();
    ended_ = false;
    return Take('<') && TakeName(name);
  }
  // The next attribute of the start tag: false at its end (ended() then true) or
  // where it is not plain.
  bool Attribute(std::string_view& name, std::string_view& value) {
    // Attributes are parted from the name and from each other by blanks.
    const bool parted = at_ < text_.size() && Is(text_[at_], kBlank);
    SkipBlanks();
    if (Take('>')) {
      ended_ = true;
      selfClosing_ = false;
      return false;
    }
    if (Take('/')) {
      ended_ = Take('>');
      selfClosing_ = true;
      return false;
    }
    if (!parted || !TakeName(name)) return false;
    SkipBlanks();
    if (!Take('=')) return false;
    SkipBlanks();
    if (at_ == text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) return false;
    const char quote = text_[at_++];
    const std::size_t first = at_;
    // The parser would expand an entity and turn a tab or line end into a blank.
    for (; at_ < text_.size() && text_[at_] != quote; ++at_) {
      if (Is(text_[at_], kNotInValue)) return false;
    }
    if (at_ == text_.size()) return false;
    value = text_.substr(first, at_ - first);
    ++at_;
    return true;
  }
  // Whether the start tag, its attributes taken, ended; selfClosing: with "/>".
  bool ended() const { return ended_; }
  bool selfClosing() const { return selfClosing_; }
  // Text up to the next tag.
  bool Text(std::string_view& text) {
    const std::size_t first = at_;
    // The parser would expand an entity and turn a carriage return into a line end.
    for (; at_ < text_.size() && text_[at_] != '<'; ++at_) {
      if (Is(text_[at_], kNotInText)) return false;
    }
    text = text_.substr(first, at_ - first);
    return true;
  }
  // The end tag of the element named name.
  bool EndTag(std::string_view name) {
    if (!Take('<') || !Take('/') || text_.substr(at_, name.size()) != name) return false;
    at_ += name.size();
    SkipBlanks();
    return Take('>');
  }

 private:
  // What a byte may be: ASCII letters, digits and the marks XML allows make the names
  // read plainly.
  enum : std::uint8_t {
    kBlank = 1,
    kNameStart = 2,
    kNameChar = 4,
    kNotInValue = 8,
    kNotInText = 16,
  };
  static constexpr std::array<std::uint8_t, 256> kClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    auto add = [&](unsigned char c, std::uint8_t cls) { classes[c] |= cls; };
    for (unsigned char c : {' ', '\t', '\r', '\n'}) add(c, kBlank);
    for (int c = 'A'; c <= 'Z'; ++c) add(static_cast<unsigned char>(c), kNameStart | kNameChar);
    for (int c = 'a'; c <= 'z'; ++c) add(static_cast<unsigned char>(c), kNameStart | kNameChar);
    for (int c = '0'; c <= '9'; ++c) add(static_cast<unsigned char>(c), kNameChar);
    for (unsigned char c : {'_', ':'}) add(c, kNameStart | kNameChar);
    for (unsigned char c : {'-', '.'}) add(c, kNameChar);
    for (unsigned char c : {'<', '&', '\0', '\t', '\r', '\n'}) add(c, kNotInValue);
    for (unsigned char c : {'&', '\r', '\0'}) add(c, kNotInText);
    return classes;
  }();
  static bool Is(char c, std::uint8_t cls) {
    return (kClasses[static_cast<unsigned char>(c)] & cls) != 0;
  }

  bool Take(char c) {
    if (at_ == text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool TakeName(std::string_view& name) {
    if (at_ == text_.size() || !Is(text_[at_], kNameStart)) return false;
    const std::size_t first = at_;
    while (at_ < text_.size() && Is(text_[at_], kNameChar)) ++at_;
    name = text_.substr(first, at_ - first);
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  bool ended_ = false;
  bool selfClosing_ = false;
};

// The part of a name after its namespace prefix: "speed" for "gpxtpx:speed".
std::string_view LocalPart(std::string_view name);

// A piece of a run parsed by itself into doc, whose children are then its nodes:
// false when it does not parse as whole elements. The piece is copied into buffer,
// which the document's text lives in and which is used again for the next piece.
bool ParsePiece(std::string_view piece, std::vector<char>& buffer, pugi::xml_document& doc);

// The element's name without its namespace prefix: "speed" for "gpxtpx:speed".
std::string_view LocalName(pugi::xml_node node);
bool IsElement(pugi::xml_node node, std::string_view localName);

// Text without the XML blanks (space, tab, line ends) around it.
std::string_view TrimXmlBlanks(std::string_view text);

// The text of an element, trimmed; empty when it holds none.
std::string_view TextOf(pugi::xml_node element);

// The ISO 8601 time an element's trimmed text gives, into seconds since 1970 to the
// millisecond: NaN when it is blank; what is wrong when it is not a date and time.
std::optional<std::string> TimeFromText(std::string_view text, double& seconds);
std::optional<XmlFault> TimeIn(pugi::xml_node element, double& seconds);

// An altitude in metres as feet; nothing beyond a thousand kilometres up or down,
// which no flight reaches and whose rates of climb would overflow.
std::optional<double> AltitudeFeet(double metres);

}  // namespace quarn
