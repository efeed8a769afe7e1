#pragma once
// A Ui for tests, benchmarks and fuzzing: message boxes are kept (a hook may act
// while one is open), every dialog is cancelled, the status bar and title are ignored.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace quarn::testing {

struct ShownMessage {
  std::string text;
  MessageKind kind;
};

class RecordingUi : public Ui {
 public:
  void ShowMessage(const std::string& text, MessageKind kind) override {
    messages.push_back({text, kind});
    if (onMessage) onMessage(text);
  }
  std::optional<std::string> AskOpenFile(const OpenFileRequest&) override { return {}; }
  std::optional<std::string> AskGroupName(const std::string&) override { return {}; }
  std::optional<SearchDirAnswer> AskSearchDir(const SearchDirAnswer&) override { return {}; }
  // Answers from radialAnswers in turn (nullopt: Cancel), then cancels.
  std::optional<std::string> AskRadial(const RadialDialogFields& fields) override {
    radialDialogs.push_back(fields);
    if (radialAnswers.empty()) return {};
    auto answer = radialAnswers.front();
    radialAnswers.erase(radialAnswers.begin());
    return answer;
  }
  void SetStatusText(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void SetTitle(const std::string&) override {}

  // The texts of the messages shown so far.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
  }

  std::vector<ShownMessage> messages;
  std::vector<std::optional<std::string>> radialAnswers;
  std::vector<RadialDialogFields> radialDialogs;  // what each radial dialog showed
  std::function<void(const std::string&)> onMessage;
};

}  // namespace quarn::testing
