#pragma once
// Every dialog and message the program shows, and the status bar, wait cursor and
// document title. The desktop shell answers with real widgets, the headless host
// from its script.

#include <optional>
#include <string>

namespace quarn {

enum class MessageKind { Info, Warning };

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

class Ui {
 public:
  virtual ~Ui() = default;
  // Modal message box with an OK button; returns when the user has closed it.
  virtual void ShowMessage(const std::string& text, MessageKind kind = MessageKind::Info) = 0;
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
  // Sets the status-bar message and repaints it at once.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  virtual void SetTitle(const std::string& title) = 0;
};

}  // namespace quarn
