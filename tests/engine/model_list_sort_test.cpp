#include <gtest/gtest.h>

#include "InstallRun.h"
#include "LineTable.h"
#include "ModelListSort.h"
#include "RunReport.h"
#include "TestSupport.h"
#include "Text.h"

using namespace engine;

namespace {

class SortTest : public ::testing::Test {
 protected:
  void SetUp() override { tree_.UsePaths(run_); }
  std::string Sorted(const std::string& content) {
    WriteFile(tree_.models(), content);
    SortModelList(run_);
    return ReadFile(tree_.models());
  }
  const RunReport& Report() const { return run_.report; }

  InstallTree tree_;
  InstallRun run_;
};

TEST(CompareModelLines, FoldsCapitalsAndPutsLineFeedFirst) {
  EXPECT_EQ(CompareModelLines("a,1\n", "A,1\n"), 0);
  EXPECT_EQ(CompareModelLines("_x\n", "a,1\n"), -1) << "'_' lies between 'Z' and 'a'";
  EXPECT_EQ(CompareModelLines("[x\n", "A\n"), -1);
  EXPECT_EQ(CompareModelLines("ABC\n", "ABC,1\n"), -1) << "the line feed is below every printable";
  EXPECT_EQ(CompareModelLines("\n", " \n"), -1);
  EXPECT_EQ(CompareModelLines("", "\n"), -1) << "empty slots gather at the front";
  EXPECT_EQ(CompareModelLines("b", "a"), 1);
  EXPECT_EQ(CompareModelLines("\xe9\n", "z\n"), 1) << "bytes compare unsigned";
}

TEST_F(SortTest, SortsWholeLinesAndKeepsEveryOne) {
  EXPECT_EQ(Sorted("b,1\nA,2\n_x\na,1\n"), Crlf("_x\na,1\nA,2\nb,1\n"));
  EXPECT_EQ(Sorted("b\r\n\r\na\r\nb\r\n\r\n"), Crlf("\n\na\nb\nb\n")) << "blank lines move up, duplicates stay";
  EXPECT_EQ(Sorted(""), "");
  EXPECT_EQ(Sorted("z\ny"), Crlf("y\nz\n")) << "a last line without a line feed stays a line";
  EXPECT_FALSE(Report().HasFailures());
}

TEST_F(SortTest, AListThatNoLongerFitsIsLeftUnsortedAndReported) {
  std::string many;
  for (int i = 4001; i > 0; --i) many += "line " + std::to_string(i) + "\n";
  EXPECT_EQ(Sorted(many), many);
  ASSERT_EQ(Report().Failures().size(), 1u);
  EXPECT_NE(Report().Failures()[0].find("more than 4000 lines"), std::string::npos);
}

TEST(Text, BoundedCopiesAndFormatsSayWhetherTheyFit) {
  char buf[4];
  EXPECT_TRUE(CopyText(buf, "abc"));
  EXPECT_FALSE(CopyText(buf, "abcd"));
  EXPECT_STREQ(buf, "abc");
  EXPECT_FALSE(FormatText(buf, sizeof buf, "%d", 12345));
  EXPECT_STREQ(buf, "123");
  EXPECT_TRUE(ContainsIgnoringCase("x,(Quorvane)\n", "(QUORVANE)"));
  EXPECT_FALSE(ContainsIgnoringCase("quorvane", "(QUORVANE)"));
  EXPECT_TRUE(StartsWithIgnoringCase("[FLTSIM.1]", "[fltsi"));
  EXPECT_FALSE(StartsWithIgnoringCase("[flt", "[fltsi"));
}

}  // namespace
