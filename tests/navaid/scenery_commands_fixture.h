#pragma once
// The scenery-list commands through the scripted host: a data directory and a
// scenery folder of their own, writer-made BGL files, and transcript helpers.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/format.h"
#include "navaid/scenery_list.h"
#include "platform/file_services.h"
#include "platform/json.h"
#include "support/bgl_writer.h"
#include "support/flight_record_writer.h"
#include "support/temp_dir.h"
#include "support/test_host.h"

namespace quarn::testing {

// One transcript line.
inline std::string Event(const char* kind, const std::string& text) {
  return JsonObject().Add("event", kind).Add("text", text).Str();
}

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << path;
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  ASSERT_TRUE(out.good()) << path;
}

// Files with one kind of content each.
inline BglContent WithNdb() {
  BglContent c;
  c.ndbs = {{52.5, 4.25, 389.5, 0, 25, "CH", "SCHIPHOL", 0}};
  return c;
}
inline BglContent WithMarkerOnly() {
  BglContent c;
  c.markers = {{6, 52.3, 4.7, 0, "", 0}};
  return c;
}
inline BglContent WithFacilityAirportOnly() {
  FacEntry e;
  e.name = "FIELD";
  e.subs = {Sub(FacAirport{52.3, 4.7, 10, "EHXX"})};
  BglContent c;
  c.facilityBlocks = {FacBlock{1033, {e}}};
  return c;
}

class SceneryCommands : public ::testing::Test {
 protected:
  void SetUp() override { startDir_ = CurrentDirectory(); }
  void TearDown() override { SetCurrentDirectory(startDir_); }

  CHalbricoDoc& doc() { return host_.doc(); }

  // A BGL file under the scenery folder; its full path.
  std::string Bgl(const std::string& relative, const BglContent& content) {
    const std::string path = scenery_.File(relative);
    std::filesystem::create_directories(DirectoryOf(path));
    EXPECT_TRUE(WriteBytes(path, BuildBgl(content)));
    return path;
  }
  std::vector<std::string> Run(const std::vector<std::string>& lines) {
    host_.Run(lines);
    return host_.TakeTranscript();
  }
  std::vector<std::string> DefineGroup(const std::string& name, const std::string& dirAnswer) {
    return Run({"answer text " + name, "answer dir " + dirAnswer, "command ID_DEFINE_GROUP"});
  }
  std::vector<std::string> LoadList(const std::string& listPath) {
    return Run({"answer file " + listPath, "command ID_LOAD_NAVAIDS"});
  }

  TempDir data_;
  TempDir scenery_;
  TestHost host_{1280, 800, data_.path()};
  std::string startDir_;
};

}  // namespace quarn::testing
