#pragma once
// A document, a Ui that keeps its messages, a temporary program directory, and
// helpers to parse writer-made files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "navaid/halbrico_doc.h"
#include "support/bgl_writer.h"
#include "support/flight_record_writer.h"
#include "support/recording_ui.h"

namespace quarn::testing {

// Each test gets a fresh document and its own program directory.
class NavaidTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("quarn_navaid_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  BglParseResult Parse(const BglContent& content) { return Parse(BuildBgl(content)); }
  BglParseResult Parse(const std::vector<std::uint8_t>& bytes) {
    BglParseResult found = doc_.ParseBglBytes(bytes);
    doc_.RebuildIndexLists();
    return found;
  }
  std::string WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = (dir_ / name).string();
    EXPECT_TRUE(WriteBytes(path, bytes));
    return path;
  }
  const NavaidRecord& At(int i) const { return doc_.m_navaids.at(static_cast<std::size_t>(i)); }
  int CountOf(NavaidKind kind) const {
    int n = 0;
    for (int i = 0; i < doc_.m_navaidCount; ++i) n += At(i).kind == kind;
    return n;
  }

  std::filesystem::path dir_;
  RecordingUi ui_;
  CHalbricoDoc doc_;
};

}  // namespace quarn::testing
