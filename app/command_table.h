#pragma once
// The command vocabulary: every command with its menu place, menu text, tool-bar
// presence and status-bar prompt. The desktop shell builds its menus and tool bar
// from this table and the headless host looks commands up in it.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quarn {

struct CommandInfo {
  int id;
  const char* symbol;    // e.g. "ID_GRAPH_ALTITUDE"
  const char* popup;     // top-level menu, or "" when not in a menu
  const char* submenu;   // submenu inside the popup, or ""
  const char* menuText;  // with '&' mnemonics and "\t" accelerator text, or ""
  bool toolbar;
  const char* prompt;  // status-bar prompt, or "" when none
};

std::span<const CommandInfo> CommandTable();
const CommandInfo* FindCommand(int id);

// Finds a command by its id in decimal, its symbol, or its menu text (mnemonic
// '&' and accelerator text ignored, compared without regard to case).
std::optional<int> LookupCommand(std::string_view nameOrId);

// The menu bar's popups, in order.
std::span<const char* const> MenuPopups();

// The tool bar: command ids in order, 0 standing for a gap.
std::span<const int> ToolbarLayout();

// Menu text without '&' and without the accelerator part after a tab.
std::string PlainMenuText(std::string_view menuText);

}  // namespace quarn
