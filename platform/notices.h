#pragma once
// What a routine tells the user while it works, without asking anything. The
// routines below the view are handed a Notices; only the view and the app hold the
// Ui, which asks.

#include <string>

namespace quarn {

enum class MessageKind { Info, Warning };

// What a routine tells while it works, without asking anything: messages the user
// is to read (message boxes in the desktop program, in the order they come), the
// status bar, the caption and the wait cursor. Long routines below the view (loading
// navaids, searching for scenery) are handed one; they never ask questions.
class Notices {
 public:
  virtual ~Notices() = default;
  // Modal message box with an OK button; returns when the user has closed it.
  virtual void ShowMessage(const std::string& text, MessageKind kind = MessageKind::Info) = 0;
  // Sets the status-bar message and repaints it at once.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetWaitCursor(bool on) = 0;
  virtual void SetTitle(const std::string& title) = 0;
};

// A Notices that drops everything.
class QuietNotices : public Notices {
 public:
  void ShowMessage(const std::string&, MessageKind) override {}
  void SetStatusText(const std::string&) override {}
  void SetWaitCursor(bool) override {}
  void SetTitle(const std::string&) override {}
};

}  // namespace quarn
