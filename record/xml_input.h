#pragma once
// What the XML track readers (GPX, KML) share: a document parsed without document
// types or entities whose nodes tell their lines, and the values their elements hold.

#include <cstddef>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "base/result.h"

namespace quarn {

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

  // The line a node starts on. Counting goes on from the node asked for last, so a
  // reader walking the document forward pays for each line once.
  int LineOf(pugi::xml_node node);
  Error ErrorAt(pugi::xml_node node, const std::string& what);

 private:
  TrackXml(std::string_view text, std::string name);
  int LineAtOffset(std::size_t offset);

  std::string_view text_;
  std::string name_;
  std::unique_ptr<pugi::xml_document> document_;
  std::size_t countedTo_ = 0;  // the offset whose line is countedLine_
  int countedLine_ = 1;
};

// The element's name without its namespace prefix: "speed" for "gpxtpx:speed".
std::string_view LocalName(pugi::xml_node node);
bool IsElement(pugi::xml_node node, std::string_view localName);

// Text without the XML blanks (space, tab, line ends) around it.
std::string_view TrimXmlBlanks(std::string_view text);

// The text of an element, trimmed; empty when it holds none.
std::string_view TextOf(pugi::xml_node element);

// The ISO 8601 time an element holds, in seconds since 1970 to the millisecond: NaN
// when it is blank, an error naming its line when it is not a date and time.
Result<double> TimeIn(TrackXml& xml, pugi::xml_node element);

// An altitude in metres as feet; nothing beyond a thousand kilometres up or down,
// which no flight reaches and whose rates of climb would overflow.
std::optional<double> AltitudeFeet(double metres);

}  // namespace quarn
