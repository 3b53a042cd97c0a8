// Each folder under data/golden is one case: Aircraft.cfg and CSL_ICAO.csv
// as a user might have them, and expected/ with both files as the removal
// pass must leave them, byte for byte. QUORVANE_UPDATE_GOLDEN=1 writes the
// expected files from the current engine (read them before committing).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "commands/RunSteps.h"
#include "removal/RemovalPass.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "text/Text.h"
#include "TestSupport.h"

using namespace engine;

namespace {

std::vector<std::string> Cases() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(GOLDEN_DIR)) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class GoldenRemoval : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenRemoval, LeavesFilesAsExpected) {
  InstallTree tree;
  InstallRun run;
  const std::string folder = std::string(GOLDEN_DIR) + "/" + GetParam();
  WriteFile(tree.config(), ReadFile(folder + "/Aircraft.cfg"));
  WriteFile(tree.models(), ReadFile(folder + "/CSL_ICAO.csv"));
  tree.UsePaths(run);

  ASSERT_FALSE(RemoveEarlierEntries(run).refused);
  EXPECT_FALSE(run.report.HasFailures());

  if (const char* update = std::getenv("QUORVANE_UPDATE_GOLDEN"); update && *update == '1') {
    MakeFolders(folder + "/expected");
    WriteFile(folder + "/expected/Aircraft.cfg", ReadFile(tree.config()));
    WriteFile(folder + "/expected/CSL_ICAO.csv", ReadFile(tree.models()));
  }
  EXPECT_EQ(ReadFile(tree.config()), ReadFile(folder + "/expected/Aircraft.cfg"));
  EXPECT_EQ(ReadFile(tree.models()), ReadFile(folder + "/expected/CSL_ICAO.csv"));
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenRemoval, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
