#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "removal/ModelListSort.h"
#include "commands/RunSteps.h"
#include "removal/RemovalPass.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "text/LineTable.h"
#include "text/Text.h"
#include "TestSupport.h"
#include "platform/FaultInjection.h"

using namespace engine;

namespace {

class RemovalPassTest : public ::testing::Test {
 protected:
  void SetUp() override { tree_.UsePaths(run_); }
  RemovalResult Pass() { return RemoveEarlierEntries(run_); }
  const RunReport& Report() const { return run_.report; }
  std::string Config() { return ReadFile(tree_.config()); }
  std::string Models() { return ReadFile(tree_.models()); }

  InstallTree tree_;
  InstallRun run_;
};

TEST_F(RemovalPassTest, LegacyRowsFromTheTableAreRecognised) {
  EXPECT_STREQ(LegacyAirlineTable[0].label, "Aerolinea Sur : B737-200");
  EXPECT_STREQ(LegacyAirlineTable[20].code, LegacyAirlineTable[21].code);
  EXPECT_STREQ(LegacyAirlineTable[33].code, "~ZPH773");
  for (std::size_t i = 34; i < kLegacyRows; ++i) EXPECT_STREQ(LegacyAirlineTable[i].label, "");
}

TEST_F(RemovalPassTest, EmptyLegacyRowsMatchNothing) {
  WriteFile(tree_.models(), Crlf(",starts with a comma\n"));
  WriteFile(tree_.config(), Crlf("[fltsim.0]\ntitle=\nsim=keep\n"));
  EXPECT_FALSE(Pass().refused);
  EXPECT_EQ(Models(), Crlf(",starts with a comma\n"));
  EXPECT_EQ(Config(), Crlf("\n[fltsim.0]\ntitle=\nsim=keep\n"));
}

TEST_F(RemovalPassTest, WindowsBelowAHeaderNearTheTableEndStayInside) {
  std::string filler;
  for (int i = 0; i < 19995; ++i) filler += "k=v\n";
  // A legacy section whose 11-slot window and a marked section whose
  // 40-slot window both reach past the last slot.
  WriteFile(tree_.config(), filler + "[fltsim.1]\ntitle=~KST146\na=1\nb=2\nc=3\n");
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(Config(), Crlf(filler));
  WriteFile(tree_.config(), filler + "[fltsim.2]\nb=2\nquorvane=x\nc=3\nd=4\n");
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(Config(), Crlf(filler));
  EXPECT_FALSE(Report().HasFailures());
}

TEST_F(RemovalPassTest, OnlyFilesThatCannotBeReadSoundlyAreRefused) {
  struct Case {
    const char* what;
    std::string models;
    std::string config;
  };
  const std::vector<Case> refused = {
      {"zero byte", std::string("a\0b\n", 4), ""},
      {"Ctrl-Z before the end", "a,1\n\x1a\nb,2\n", ""},
      {"Ctrl-Z inside a configuration line", "", "[fltsim.0]\ntitle=a\x1a" "b\n"},
  };
  for (const Case& c : refused) {
    WriteFile(tree_.models(), c.models);
    WriteFile(tree_.config(), c.config);
    RemovalResult result = Pass();
    EXPECT_TRUE(result.refused) << c.what;
    EXPECT_NE(result.refusal.find("Nothing has been changed"), std::string::npos) << c.what;
    EXPECT_EQ(Models(), c.models) << c.what;
    EXPECT_EQ(Config(), c.config) << c.what;
    EXPECT_FALSE(FileExists(tree_.models() + ".bak")) << c.what;
  }
}

TEST_F(RemovalPassTest, LinesOfAnyLengthAndFilesOfAnyLengthAreKeptWhole) {
  std::string manyModels, sortedModels;
  for (int i = 4100; i > 0; --i) manyModels += "line " + std::to_string(100000 + i) + "\n";
  for (int i = 1; i <= 4100; ++i) sortedModels += "line " + std::to_string(100000 + i) + "\r\n";
  std::string manyConfig;
  for (int i = 0; i < 20100; ++i) manyConfig += "k" + std::to_string(i) + "=v\n";
  const std::string longValue(1476, 'd');
  WriteFile(tree_.models(), manyModels);
  WriteFile(tree_.config(), manyConfig + "[fltsim.0]\ndescription=" + longValue + "\n");
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(Models(), sortedModels);
  EXPECT_EQ(Config(), Crlf(manyConfig + "\n[fltsim.0]\ndescription=" + longValue + "\n"));

  // The old end-of-file mark as the last byte is no part of the file.
  WriteFile(tree_.models(), "b,2\r\na,1\r\n\x1a");
  WriteFile(tree_.config(), "[x]\r\n\x1a");
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(Models(), "a,1\r\nb,2\r\n");
  EXPECT_EQ(Config(), "\r\n[x]\r\n");
  // A long model line keeps its slot's place in the sort.
  WriteFile(tree_.models(), "z\n" + std::string(300, 'B') + "\n" + std::string(300, 'a') + "\n");
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(Models(), Crlf(std::string(300, 'a') + "\n" + std::string(300, 'B') + "\nz\n"));
}

TEST_F(RemovalPassTest, BackupsHoldTheFilesAsTheRunFoundThem) {
  WriteFile(tree_.models(), "B\nA\n");
  WriteFile(tree_.config(), "[X]\nK=V\n");
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(ReadFile(tree_.models() + ".bak"), "B\nA\n");
  EXPECT_EQ(ReadFile(tree_.config() + ".bak"), "[X]\nK=V\n");
  // Later rewrites in the same run keep the first backup.
  SortModelList(run_.modelList, run_.context.modelListPath, run_.report);
  EXPECT_EQ(ReadFile(tree_.models() + ".bak"), "B\nA\n");
  EXPECT_FALSE(Report().HasFailures());
}

TEST_F(RemovalPassTest, AFailedStepLeavesBothFilesAsTheyWereOrBothDone) {
  const std::string models = "b,(QUORVANE)\r\na,1\r\n";
  const std::string config = "[fltsim.0]\r\nTitle=Mine\r\n";
  // Walk a fault over every file operation of the pass.
  for (long n = 1;; ++n) {
    WriteFile(tree_.models(), models);
    WriteFile(tree_.config(), config);
    run_.report = RunReport();
    plat::FailNthOperation(n);
    RemovalResult result = RemoveEarlierEntries(run_);
    const bool fired = plat::InjectedFaultFired();
    plat::FailNthOperation(0);
    if (!fired) break;
    const std::string m = Models();
    const std::string c = Config();
    if (result.refused) {
      EXPECT_EQ(m, models) << n;
      EXPECT_EQ(c, config) << n;
      EXPECT_NE(result.refusal.find("Nothing has been changed."), std::string::npos) << n << ": " << result.refusal;
    } else if (result.stopped) {
      EXPECT_TRUE(Report().HasFailures()) << n;
    } else {
      EXPECT_EQ(m, "a,1\r\n") << n;
      EXPECT_EQ(c, "\r\n[fltsim.0]\r\ntitle=mine\r\n") << n;
    }
    for (const std::string& bak : {ReadFile(tree_.models() + ".bak"), ReadFile(tree_.config() + ".bak")}) {
      EXPECT_TRUE(bak == "<missing>" || bak == models || bak == config) << n << ": " << bak;
    }
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree_.dir.path())) {
      EXPECT_NE(entry.path().extension(), ".tmp") << n << ": " << entry.path();
    }
    if (n > 200) FAIL() << "the pass never ran out of operations";
  }
}

TEST_F(RemovalPassTest, AnUnreadableFileStopsThePassBeforeAnythingChanges) {
  WriteFile(tree_.models(), "keep\n");
  WriteFile(tree_.config(), "[x]\n");
  plat::FailNthOperation(1);  // opening the model list
  const RemovalResult result = Pass();
  plat::FailNthOperation(0);
  ASSERT_TRUE(result.refused);
  EXPECT_NE(result.refusal.find("could not be read"), std::string::npos) << result.refusal;
  EXPECT_EQ(Models(), "keep\n");
  EXPECT_EQ(Config(), "[x]\n") << "neither file changes";
  EXPECT_FALSE(FileExists(tree_.config() + ".bak"));
}

// Nothing the user wrote is lost: only blank lines go, and what the pass
// takes out as an earlier entry.
TEST_F(RemovalPassTest, EveryLineOfTheUsersIsKeptInPlace) {
  WriteFile(tree_.config(), Crlf("// notes of mine\n[fltsim.0]\ntitle=Mine\n# hash note\n-- dash note\nSingle\n"
                                 "Free text, with commas.\n \t \n\n  [fltsim.1]\ntitle=Indented\nsim=x\n"
                                 "\t[General]\nk=v\n"));
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(Config(), Crlf("// notes of mine\n\n[fltsim.0]\ntitle=mine\n# hash note\n-- dash note\nsingle\n"
                           "free text, with commas.\n\n[fltsim.1]\ntitle=indented\nsim=x\n\n[general]\nk=v\n"));
  EXPECT_TRUE(Report().Notes().empty()) << "the numbers were whole";
}

// An indented header is a header from the moment the file is read: it
// ends a marked section above it and keeps its own keys.
TEST_F(RemovalPassTest, AnIndentedHeaderEndsTheSectionAboveIt) {
  WriteFile(tree_.config(), Crlf("[fltsim.0]\ntitle=Ours\nquorvane=X\n  [fltsim.1]\ntitle=Mine\n"
                                 "[fltsim.2]\ntitle=~KST146\n\t[fltsim.3]\ntitle=Also mine\n"));
  ASSERT_FALSE(Pass().refused);
  // The legacy section's window still takes its eight slots below it, as
  // it always did; the marked one ends at the indented header.
  EXPECT_EQ(Config(), Crlf("\n[fltsim.0]\ntitle=mine\n"));
}

TEST_F(RemovalPassTest, SectionsAreRenumberedWholeAndTheReportSaysSo) {
  WriteFile(tree_.config(), Crlf("[fltsim.0]\ntitle=A\n[fltsim.1]\ntitle=Ours\nquorvane=X\n\n[fltsim.2]\ntitle=B\n"
                                 "[fltsim.3]\ntitle=C\n"));
  ASSERT_FALSE(Pass().refused);
  EXPECT_EQ(Config(), Crlf("\n[fltsim.0]\ntitle=a\n\n[fltsim.1]\ntitle=b\n\n[fltsim.2]\ntitle=c\n"));
  ASSERT_EQ(Report().Notes().size(), 1u);
  EXPECT_EQ(Report().Notes()[0],
            "Aircraft.cfg: 2 sections were renumbered so that the simulator finds every section, [fltsim.0] "
            "onwards without a gap or a repeat; titles and everything else in the sections are unchanged.");
  EXPECT_FALSE(Report().HasFailures()) << "a note is no failure";

  // Files of any length: past the title scan's reach too.
  std::string many;
  for (int i = 0; i < 3000; ++i) many += "[fltsim." + std::to_string(i == 1500 ? 1499 : i) + "]\ntitle=t\nk=v\nl=w\n";
  WriteFile(tree_.config(), many);
  run_.report = RunReport();
  ASSERT_FALSE(Pass().refused);
  const std::string config = Config();
  EXPECT_NE(config.find("\r\n[fltsim.2999]\r\ntitle=t\r\n"), std::string::npos);
  EXPECT_NE(config.find("\r\n[fltsim.1500]\r\n"), std::string::npos);
  EXPECT_EQ(config.find("[fltsim.3000]"), std::string::npos);
  EXPECT_NE(Report().Notes().at(0).find("Aircraft.cfg: 1 section was renumbered"), std::string::npos)
      << "only the repeat changes: " << Report().Notes()[0];
}

TEST(GetCsvField, SplitsAsTheModelListNeeds) {
  char out[8];
  EXPECT_TRUE(GetCsvField("a,,b", 200, out, sizeof out, 0, ','));
  EXPECT_STREQ(out, "a");
  EXPECT_TRUE(GetCsvField("a,,b", 200, out, sizeof out, 1, ','));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(GetCsvField("a,,b", 200, out, sizeof out, 2, ','));
  EXPECT_STREQ(out, "b");
  EXPECT_FALSE(GetCsvField("a,,b", 200, out, sizeof out, 3, ','));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(GetCsvField("a,", 200, out, sizeof out, 1, ','));
  EXPECT_STREQ(out, "");
  EXPECT_TRUE(GetCsvField("no comma\n", 200, out, sizeof out, 0, ','));
  EXPECT_STREQ(out, "no comm") << "cut to the result's size";
  EXPECT_FALSE(GetCsvField("abc", 2, out, sizeof out, 0, ',')) << "source size walked without an end";
  std::strcpy(out, "same");
  EXPECT_FALSE(GetCsvField(nullptr, 200, out, sizeof out, 0, ','));
  EXPECT_FALSE(GetCsvField("a", 200, out, 0, 0, ','));
  EXPECT_STREQ(out, "same");
}

}  // namespace
