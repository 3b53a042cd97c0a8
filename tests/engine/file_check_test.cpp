// The look at the user's own two files: what it finds, each with its file
// and line, and that it changes nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "checks/FileCheck.h"
#include "TestSupport.h"

using namespace engine;

namespace {

class FileCheckTest : public ::testing::Test {
 protected:
  FileCheck Check(const std::string& config, const std::string& models) {
    WriteFile(tree_.config(), config);
    WriteFile(tree_.models(), models);
    FileCheck check = CheckUserFiles(tree_.config().c_str(), tree_.models().c_str());
    EXPECT_EQ(ReadFile(tree_.config()), config) << "a check changes nothing";
    EXPECT_EQ(ReadFile(tree_.models()), models);
    return check;
  }
  static bool Has(const std::vector<std::string>& lines, const std::string& text) {
    for (const std::string& line : lines) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }
  static std::string All(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
  }

  InstallTree tree_;
};

TEST_F(FileCheckTest, FilesThatAgreeAreClean) {
  const FileCheck check = Check(Crlf("[fltsim.0]\ntitle=Generic A320\nsim=a320\n\n[fltsim.1]\ntitle = \"Jet B\"\n"),
                                Crlf("Generic : A320,A320,,Generic A320\nJet : B,B738,,Jet B\n"));
  EXPECT_TRUE(check.problems.empty()) << All(check.problems);
  EXPECT_TRUE(check.earlierEntries.empty()) << All(check.earlierEntries);
}

TEST_F(FileCheckTest, NamesEveryKindOfProblemWithItsFileAndLine) {
  const std::string config = Crlf(
      "[fltsim.0]\ntitle=A\n"        // lines 1-2
      "[fltsim.0]\ntitle=B\n"        // 3-4: the number repeats
      "[FLTSIM.3]\ntitle=a\n"        // 5-6: a gap before it, and the title of line 1 again
      "stray words\n"                // 7: dropped by an install
      "[fltsim.4]\ntitle=Nobody\n"); // 8-9: no model line names it
  const std::string models = Crlf("A,X,,A\nB,X,,B\nGhost,X,,Ghost\n");
  const FileCheck check = Check(config, models);
  const std::string all = All(check.problems);
  EXPECT_TRUE(Has(check.problems, "Aircraft.cfg line 3: [fltsim.0] repeats the number of line 1")) << all;
  EXPECT_TRUE(Has(check.problems, "Aircraft.cfg line 5: the numbers jump to [fltsim.3]: there is no [fltsim.1] to "
                                  "[fltsim.2]"))
      << all;
  EXPECT_TRUE(Has(check.problems, "Aircraft.cfg line 5: the title \"a\" is also the title of the section at line 1"))
      << all;
  EXPECT_TRUE(Has(check.problems, "Aircraft.cfg line 7: \"stray words\" is no header, comment or key=value line"))
      << all;
  EXPECT_TRUE(Has(check.problems, "Aircraft.cfg line 8: no line of CSL_ICAO.csv names [fltsim.4] (title \"Nobody\")"))
      << all;
  EXPECT_TRUE(Has(check.problems, "CSL_ICAO.csv line 3: the title \"Ghost\" is no section's title in Aircraft.cfg"))
      << all;
  EXPECT_EQ(check.problems.size(), 6u) << all;
  EXPECT_EQ(check.problems.front().rfind("Aircraft.cfg line 3", 0), 0u) << "in file and line order:\n" << all;
}

TEST_F(FileCheckTest, SectionsPastTheScanAndEarlierEntries) {
  std::string config = Crlf("[fltsim.0]\ntitle=Mine\n");
  for (int i = 0; i < 10000; ++i) config += "k=v\r\n";
  config += Crlf("[fltsim.1]\ntitle=Late\n[fltsim.2]\ntitle=~ALP1\nquorvane=Alpha (QUORVANE),ALP1\n");
  const FileCheck check =
      Check(config, Crlf("Mine,X,,Mine\nLate,X,,Late\nAlpha (QUORVANE),ALP1\nKestrel Airways : BAe146,B461,KST,Mine\n"));
  // The section after it is one an install takes out before it looks.
  EXPECT_TRUE(Has(check.problems, "Aircraft.cfg line 10003: this section lies past the first 10000 lines"))
      << All(check.problems);
  EXPECT_FALSE(Has(check.problems, "names [fltsim.2]")) << "our own section is named by its model line";
  EXPECT_TRUE(Has(check.earlierEntries, "Aircraft.cfg line 10005: [fltsim.2] and its lines"))
      << All(check.earlierEntries);
  EXPECT_TRUE(Has(check.earlierEntries, "CSL_ICAO.csv line 3: Alpha (QUORVANE),ALP1"));
  EXPECT_TRUE(Has(check.earlierEntries, "CSL_ICAO.csv line 4: Kestrel Airways : BAe146")) << "a legacy line";
  EXPECT_EQ(check.earlierEntries.size(), 3u) << All(check.earlierEntries);
}

TEST_F(FileCheckTest, AFileAnInstallRefusesIsNamed) {
  const FileCheck check = Check(Crlf("[fltsim.0]\ntitle=A\n"), std::string("A,X,,A\r\nb\0c\r\n", 14));
  EXPECT_TRUE(Has(check.problems, "CSL_ICAO.csv line 2: an install refuses this file: it holds a zero byte"))
      << All(check.problems);
}

}  // namespace
