#pragma once
// Every dialog and message the program shows, and the status bar, wait cursor and
// document title. The desktop shell answers with real widgets, the headless host
// from its script.

#include <optional>
#include <string>
#include <vector>

#include "platform/notices.h"

namespace quarn {

struct OpenFileRequest {
  std::string filter;            // "Text (*.x)|*.x|All Files (*.*)|*.*||"
  std::string defaultExtension;  // as handed to the dialog
  bool hideReadOnly = true;
  bool pathMustExist = true;
  bool longNames = true;
};

// The Save dialog: filters as for opening; the path comes back as chosen.
struct SaveFileRequest {
  std::string filter;  // "GPX track (*.gpx)|*.gpx|KML (*.kml)|*.kml||"
  std::string defaultExtension;
};

struct SearchDirAnswer {
  std::string directory;
  bool recurse = false;
  bool fs2000 = false;
};

struct RadialDialogFields {
  std::string vorName;
  std::string vorIdent;
  std::string radial;
};

// A delimited file whose columns the reader does not know by name.
struct ColumnMapRequest {
  std::string file;                  // the file's name
  std::string problem;               // why it could not be read as it is
  std::vector<std::string> columns;  // the header's columns, as written
  std::string map;                   // the map to start from (JSON), or empty
};

// Every dialog the program shows besides: only the view and the app ask.
class Ui : public Notices {
 public:
  // The Open dialog: the chosen full path, or nothing when cancelled.
  virtual std::optional<std::string> AskOpenFile(const OpenFileRequest& request) = 0;
  // The Save dialog: the chosen path, or nothing on Cancel.
  virtual std::optional<std::string> AskSaveFile(const SaveFileRequest& /*request*/) {
    return std::nullopt;
  }
  // The group-name dialog: the text on OK, or nothing on Cancel.
  virtual std::optional<std::string> AskGroupName(const std::string& initial) = 0;
  virtual std::optional<SearchDirAnswer> AskSearchDir(const SearchDirAnswer& initial) = 0;
  // The radial dialog: the radial text on OK, or nothing on Cancel.
  virtual std::optional<std::string> AskRadial(const RadialDialogFields& fields) = 0;
  // Where a compared flight is laid on the current one: "start", "takeoff" or
  // "touchdown", or nothing on Cancel. A host without the question keeps the current.
  virtual std::optional<std::string> AskCompareAlignment(const std::string& current) {
    return current;
  }
  // The column map dialog: the map's JSON text on OK, or nothing on Cancel.
  virtual std::optional<std::string> AskColumnMap(const ColumnMapRequest& /*request*/) {
    return std::nullopt;
  }
  // The map that read a header of these columns before (kept between sessions where
  // the platform can), or empty; and keeping one.
  virtual std::string RememberedColumnMap(const std::vector<std::string>& /*columns*/) {
    return {};
  }
  virtual void RememberColumnMap(const std::vector<std::string>& /*columns*/,
                                 const std::string& /*map*/) {}
};

}  // namespace quarn
