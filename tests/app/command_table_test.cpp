#include "app/command_table.h"

#include <gtest/gtest.h>

#include <set>

#include "base/command_ids.h"

namespace quarn {
namespace {

TEST(CommandTable, IdsAreUniqueAndPromptsExact) {
  std::set<int> ids;
  for (const auto& c : CommandTable()) EXPECT_TRUE(ids.insert(c.id).second) << c.id;
  EXPECT_STREQ(FindCommand(ID_SELECT_RECORD_FILE)->prompt, "Selects a aerolog work file");
  EXPECT_STREQ(FindCommand(ID_DEFINE_GROUP)->prompt,
               "Define a group of BGL file. Then Quarn will load the navaids from this group "
               "of Bgl files");
  EXPECT_STREQ(FindCommand(ID_FILE_PRINT)->prompt, "Print the Present Chart");
  EXPECT_STREQ(FindCommand(ID_BLANK_VIEW)->menuText, "&New\tCtrl+N");
  EXPECT_STREQ(FindCommand(ID_SHOW_ID_FREQ)->submenu, "Show Navaids");
}

TEST(CommandTable, LookupByIdSymbolOrMenuText) {
  EXPECT_EQ(LookupCommand("32773"), 32773);
  EXPECT_EQ(LookupCommand("ID_ZOOM_IN"), ID_ZOOM_IN);
  EXPECT_EQ(LookupCommand("id_zoom_out"), ID_ZOOM_OUT);
  EXPECT_EQ(LookupCommand("Take Off and Landing Summary"), ID_TAKEOFF_LANDING_SUMMARY);
  EXPECT_EQ(LookupCommand("New"), ID_BLANK_VIEW);  // mnemonic and accelerator ignored
  EXPECT_EQ(LookupCommand("Altitude"), ID_GRAPH_ALTITUDE);
  EXPECT_FALSE(LookupCommand("Nonsense").has_value());
  EXPECT_FALSE(LookupCommand("").has_value());
}

TEST(CommandTable, MenuAndToolbarOrder) {
  const auto popups = MenuPopups();
  ASSERT_EQ(popups.size(), 6u);
  EXPECT_STREQ(popups[0], "&File");
  EXPECT_STREQ(popups[1], "Aerolog and Navaids");
  EXPECT_STREQ(popups[5], "About");

  const std::vector<int> expected{ID_BLANK_VIEW,
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
  const auto toolbar = ToolbarLayout();
  EXPECT_EQ(std::vector<int>(toolbar.begin(), toolbar.end()), expected);
  for (int id : toolbar) {
    if (id != 0) {
      EXPECT_TRUE(FindCommand(id)->toolbar) << id;
    }
  }
}

}  // namespace
}  // namespace quarn
