#include "app/command_table.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "base/command_ids.h"

namespace quarn {
namespace {

constexpr const char* kFile = "&File";
constexpr const char* kAerolog = "Aerolog and Navaids";
constexpr const char* kShowNavaids = "Show Navaids";
constexpr const char* kGenerate = "Generate";
constexpr const char* kGraph = "Graph";
constexpr const char* kView = "&View";
constexpr const char* kAbout = "About";

// In menu order within each popup.
constexpr std::array<CommandInfo, 47> kCommands{{
    {ID_BLANK_VIEW, "ID_BLANK_VIEW", kFile, "", "&New\tCtrl+N", true, ""},
    {ID_EXPORT_TRACK, "ID_EXPORT_TRACK", kFile, "", "Export &Track...", false,
     "Writes the flight's track as GPX or KML, for map viewers and globes"},
    {ID_EXPORT_REPORT, "ID_EXPORT_REPORT", kFile, "", "Export &Report...", false,
     "Writes every chart of the flight into one PDF file"},
    {ID_LOGBOOK, "ID_LOGBOOK", kFile, "", "&Logbook...", false,
     "Lists every flight under chosen folders with its times, landing and totals"},
    {ID_COMPARE_WITH, "ID_COMPARE_WITH", kFile, "", "Compare &With...", false,
     "Draws a second flight beside the current one, their touchdowns laid on each other"},
    {ID_END_COMPARE, "ID_END_COMPARE", kFile, "", "&End Compare", false,
     "Removes the compared flight from the charts"},
    {ID_FILE_PRINT, "ID_FILE_PRINT", kFile, "", "&Print...\tCtrl+P", false,
     "Print the Present Chart"},
    {ID_FILE_PRINT_PREVIEW, "ID_FILE_PRINT_PREVIEW", kFile, "", "Print Pre&view...", false, ""},
    {ID_APP_EXIT, "ID_APP_EXIT", kFile, "", "&Exit", false, "Application exit"},
    {ID_DEFINE_GROUP, "ID_DEFINE_GROUP", kAerolog, "", "Define Group of BGL files", false,
     "Define a group of BGL file. Then Quarn will load the navaids from this group of Bgl files"},
    {ID_SELECT_RECORD_FILE, "ID_SELECT_RECORD_FILE", kAerolog, "", "Select a Aerolog File", true,
     "Selects a aerolog work file"},
    {ID_LOAD_NAVAIDS, "ID_LOAD_NAVAIDS", kAerolog, "", "Load Navaids", true,
     "Load the Navaids from Bgl files"},
    {ID_SHOW_VOR, "ID_SHOW_VOR", kAerolog, kShowNavaids, "Vor", false, "Show or hide VORs"},
    {ID_SHOW_NDB, "ID_SHOW_NDB", kAerolog, kShowNavaids, "Ndb", false, "Show or hide NDBs"},
    {ID_SHOW_RUNWAY, "ID_SHOW_RUNWAY", kAerolog, kShowNavaids, "Runway", false,
     "Show or hide RUNWAYS"},
    {ID_SHOW_AIRPORT, "ID_SHOW_AIRPORT", kAerolog, kShowNavaids, "Airport", false,
     "Show or hide Airports"},
    {ID_SHOW_FIX, "ID_SHOW_FIX", kAerolog, kShowNavaids, "Fix", false, "Show or hide FIXES"},
    {ID_SHOW_MARKERS, "ID_SHOW_MARKERS", kAerolog, kShowNavaids, "Markers", false,
     "Show the Markers"},
    {ID_SHOW_RADIALS, "ID_SHOW_RADIALS", kAerolog, kShowNavaids, "Radial", false,
     "Shows the defined radials"},
    {ID_SHOW_ID_FREQ, "ID_SHOW_ID_FREQ", kAerolog, kShowNavaids, "ID and Frecuency", false,
     "Show or hide ID and Frecuency of Navaids"},
    {ID_SHOW_DISTANCE, "ID_SHOW_DISTANCE", kAerolog, kShowNavaids, "Distance from Track", false,
     "Show the Distance from the track of the VOR, NDB and FIX"},
    {ID_SELECT_ALL, "ID_SELECT_ALL", kAerolog, kShowNavaids, "Select All", false, ""},
    {ID_GENERATE_FLIGHT_TEXT, "ID_GENERATE_FLIGHT_TEXT", kGenerate, "", "File Flight.txt", false,
     "Converts the aerolog binary file to a text file called flight.txt. Generates Warning.txt "
     "with flight general data"},
    {ID_GENERAL_SUMMARY, "ID_GENERAL_SUMMARY", kGenerate, "", "General Flight Summary", true,
     "Shows in the screen the General Flight Summary"},
    {ID_TAKEOFF_LANDING_SUMMARY, "ID_TAKEOFF_LANDING_SUMMARY", kGenerate, "",
     "Take Off and Landing Summary", true,
     "Shows in the screen Specific Parameters about Take Off and Landing"},
    {ID_EXPORT_NAVAIDS, "ID_EXPORT_NAVAIDS", kGenerate, "", "Export Navaids", false,
     "Generate in a several files the Navaids, airports and runways"},
    {ID_GRAPH_ALTITUDE, "ID_GRAPH_ALTITUDE", kGraph, "", "Altitude", true, "Graphs the altitude"},
    {ID_GRAPH_IAS, "ID_GRAPH_IAS", kGraph, "", "Indicated Air Speed IAS", true,
     "Graphs the Indicated Air Speed IAS"},
    {ID_GRAPH_TAS, "ID_GRAPH_TAS", kGraph, "", "True Air Speed TAS", true,
     "Graphs the True Air Speed TAS"},
    {ID_GRAPH_BANK, "ID_GRAPH_BANK", kGraph, "", "Bank", true, "Graphs the Bank"},
    {ID_GRAPH_PITCH, "ID_GRAPH_PITCH", kGraph, "", "Pitch", true, "Graphs the Pitch"},
    {ID_GRAPH_VERTICAL_SPEED, "ID_GRAPH_VERTICAL_SPEED", kGraph, "", "Vertical Speed", true,
     "Graphs the Vertical Speed"},
    {ID_GRAPH_COURSE, "ID_GRAPH_COURSE", kGraph, "", "Course", true, "Graphs the course"},
    {ID_GRAPH_COMBINED, "ID_GRAPH_COMBINED", kGraph, "", "Altitude, IAS, Bank....", true,
     "Graphs Altitude, IAS, Bank and Vertical Speed in one graph"},
    {ID_SIDE_VIEW, "ID_SIDE_VIEW", kGraph, "", "Sideview Aproximation", true,
     "Show the Sideview of the aproximation"},
    {ID_BOTTOM_VIEW, "ID_BOTTOM_VIEW", kGraph, "", "Bottom View Aproximation", true,
     "Show the bottom view of the final Aproximation"},
    {ID_APPROACH_DEBRIEF, "ID_APPROACH_DEBRIEF", kGraph, "", "Approach Debrief", true,
     "Shows the ILS deviation in dots, the stabilized-approach gates, the landing rate and the "
     "touchdown point"},
    {ID_VIEW_TOOLBAR, "ID_VIEW_TOOLBAR", kView, "", "Tool Bar", false,
     "Shows or Hides the tool bar"},
    {ID_VIEW_STATUS_BAR, "ID_VIEW_STATUS_BAR", kView, "", "State Bar", false,
     "Shows or Hides the state bar"},
    {ID_APP_ABOUT, "ID_APP_ABOUT", kAbout, "", "About QUARN...", true, "Shows program information"},
    {ID_ZOOM_IN, "ID_ZOOM_IN", "", "", "", true, "Zoom in the chart"},
    {ID_ZOOM_OUT, "ID_ZOOM_OUT", "", "", "", true, "Zoom out the chart"},
    {ID_CURSOR_LEFT, "ID_CURSOR_LEFT", "", "", "", true, "Move the cursor to the left"},
    {ID_CURSOR_RIGHT, "ID_CURSOR_RIGHT", "", "", "", true, "Move the cursor to the right"},
    {ID_ERASE_RADIALS, "ID_ERASE_RADIALS", "", "", "", true, "Erase radials"},
    {ID_FILE_NEW, "ID_FILE_NEW", "", "", "", false, ""},
    {ID_FILE_PRINT_DIRECT, "ID_FILE_PRINT_DIRECT", "", "", "", false, ""},
}};

constexpr std::array<const char*, 6> kPopups{kFile, kAerolog, kGenerate, kGraph, kView, kAbout};

constexpr std::array<int, 27> kToolbar{ID_BLANK_VIEW,
                                       0,
                                       ID_SELECT_RECORD_FILE,
                                       ID_LOAD_NAVAIDS,
                                       ID_ERASE_RADIALS,
                                       0,
                                       ID_GENERAL_SUMMARY,
                                       ID_TAKEOFF_LANDING_SUMMARY,
                                       0,
                                       ID_GRAPH_ALTITUDE,
                                       ID_GRAPH_IAS,
                                       ID_GRAPH_TAS,
                                       ID_GRAPH_BANK,
                                       ID_GRAPH_PITCH,
                                       ID_GRAPH_VERTICAL_SPEED,
                                       ID_GRAPH_COURSE,
                                       ID_SIDE_VIEW,
                                       ID_BOTTOM_VIEW,
                                       ID_APPROACH_DEBRIEF,
                                       ID_GRAPH_COMBINED,
                                       0,
                                       ID_APP_ABOUT,
                                       0,
                                       ID_ZOOM_IN,
                                       ID_ZOOM_OUT,
                                       ID_CURSOR_LEFT,
                                       ID_CURSOR_RIGHT};

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::span<const CommandInfo> CommandTable() {
  return kCommands;
}

const CommandInfo* FindCommand(int id) {
  for (const auto& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

std::string PlainMenuText(std::string_view menuText) {
  std::string out;
  for (char c : menuText.substr(0, menuText.find('\t'))) {
    if (c != '&') out += c;
  }
  return out;
}

std::optional<int> LookupCommand(std::string_view nameOrId) {
  int id = 0;
  const auto [end, ec] = std::from_chars(nameOrId.data(), nameOrId.data() + nameOrId.size(), id);
  if (ec == std::errc() && end == nameOrId.data() + nameOrId.size()) return id;
  for (const auto& c : kCommands) {
    if (EqualNoCase(nameOrId, c.symbol)) return c.id;
  }
  for (const auto& c : kCommands) {
    if (*c.menuText != '\0' && EqualNoCase(nameOrId, PlainMenuText(c.menuText))) return c.id;
  }
  return std::nullopt;
}

std::span<const char* const> MenuPopups() {
  return kPopups;
}

std::span<const int> ToolbarLayout() {
  return kToolbar;
}

}  // namespace quarn
