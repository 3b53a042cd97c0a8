#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>

#include "removal/ModelListSort.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "text/LineTable.h"
#include "text/Text.h"
#include "TestSupport.h"

using namespace engine;

namespace {

class SortTest : public ::testing::Test {
 protected:
  void SetUp() override { tree_.UsePaths(run_); }
  std::string Sorted(const std::string& content) {
    WriteFile(tree_.models(), content);
    SortModelList(run_.modelList, run_.context.modelListPath, run_.report);
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

TEST_F(SortTest, AListOfAnyLengthIsSortedWhole) {
  std::string many, sorted;
  for (int i = 5000; i > 0; --i) many += "line " + std::to_string(10000 + i) + "\n";
  for (int i = 1; i <= 5000; ++i) sorted += "line " + std::to_string(10000 + i) + "\r\n";
  EXPECT_EQ(Sorted(many), sorted);
  EXPECT_FALSE(Report().HasFailures());
  EXPECT_EQ(CompareModelLines((std::string(250, 'a') + "b").c_str(), (std::string(250, 'A') + "c").c_str()), -1)
      << "long lines compare whole";
}

// A slot of the table's first form, 200 bytes.
struct LineSlot {
  char text[kSlotSize];
};

// The sort through the slots' numbers takes the same order as sorting the
// 200-byte slots themselves did, ties of letter case included, so a list
// that fitted the old table comes out byte for byte as it always did; and
// so does the rewrite of the model list.
TEST(ModelListOrder, IsTheOrderOfSortingTheSlotsThemselves) {
  InstallTree tree;
  InstallRun run;
  tree.UsePaths(run);
  std::mt19937 random(7);
  const char* words[] = {"a,1\n", "A,1\n", "b\n", "B\n", "_x\n", "\n", "abc\n", "ABC\n", "abc,1\n"};
  for (int round = 0; round < 50; ++round) {
    const std::size_t lines = 1 + random() % 300;
    std::string text;
    ModelListTable table;
    std::vector<LineSlot> slots(kModelListSlots, LineSlot{});
    for (std::size_t i = 0; i < lines; ++i) {
      const std::string line = std::string(words[random() % 9]) + (random() % 3 ? "" : std::to_string(random() % 4));
      table.Store(i, line);
      std::memcpy(slots[i].text, line.c_str(), line.size() + 1);
    }
    std::sort(slots.begin(), slots.end(),
              [](const LineSlot& a, const LineSlot& b) { return CompareModelLines(a.text, b.text) < 0; });
    std::vector<std::uint32_t> order(table.Size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&table](std::uint32_t a, std::uint32_t b) {
      return CompareModelLines(table.Line(a), table.Line(b)) < 0;
    });
    run.modelList.Clear();
    for (std::size_t i = 0; i < lines; ++i) run.modelList.Store(i, table.Line(i));
    table.Reorder(order);
    for (std::size_t i = 0; i < kModelListSlots; ++i) ASSERT_STREQ(table.Line(i), slots[i].text) << round;
    ASSERT_TRUE(WriteModelList(run.context.modelListPath, run.modelList));
    std::string written;
    for (const LineSlot& slot : slots) {
      for (const char* p = slot.text; *p; ++p) written += *p == '\n' ? std::string("\r\n") : std::string(1, *p);
    }
    ASSERT_EQ(ReadFile(tree.models()), written) << round;
  }
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
