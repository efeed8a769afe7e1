#pragma once
// Dialogs answered from a queue of scripted answers; every message, status text,
// title change and dialog goes to the transcript. A dialog with no queued answer is
// cancelled; message boxes are answered OK.

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/headless/transcript.h"
#include "platform/ui.h"

namespace quarn {

struct ScriptedAnswer {
  enum class Kind { File, Cancel, Text, Dir };
  Kind kind = Kind::Cancel;
  std::string text;  // path or text
  bool recurse = false;
  bool fs2000 = false;
};

class HeadlessUi : public Ui {
 public:
  explicit HeadlessUi(Transcript& transcript) : transcript_(transcript) {}

  void QueueAnswer(ScriptedAnswer answer) { answers_.push_back(std::move(answer)); }

  void ShowMessage(const std::string& text, MessageKind kind) override;
  std::optional<std::string> AskOpenFile(const OpenFileRequest& request) override;
  // Answered by the next `answer file` line, as the Open dialog is.
  std::optional<std::string> AskSaveFile(const SaveFileRequest& request) override;
  std::optional<std::string> AskGroupName(const std::string& initial) override;
  std::optional<SearchDirAnswer> AskSearchDir(const SearchDirAnswer& initial) override;
  std::optional<std::string> AskRadial(const RadialDialogFields& fields) override;
  // Answered by the next `answer text` line; a map that read a file is kept for the
  // script's run.
  std::optional<std::string> AskColumnMap(const ColumnMapRequest& request) override;
  std::string RememberedColumnMap(const std::vector<std::string>& columns) override;
  void RememberColumnMap(const std::vector<std::string>& columns, const std::string& map) override;
  void SetStatusText(const std::string& text) override;
  void SetWaitCursor(bool on) override;
  void SetTitle(const std::string& title) override;

  const std::string& statusText() const { return status_; }
  const std::string& title() const { return title_; }

 private:
  // The next queued answer when it is of the wanted kind; anything else cancels.
  std::optional<ScriptedAnswer> TakeAnswer(ScriptedAnswer::Kind wanted);
  std::optional<std::string> AskText(const char* dialogName);

  Transcript& transcript_;
  std::deque<ScriptedAnswer> answers_;
  std::string status_;
  std::string title_;
  std::map<std::vector<std::string>, std::string> columnMaps_;
};

}  // namespace quarn
