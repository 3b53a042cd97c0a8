// The numbering of the aircraft sections: which headers are numbered,
// when a file is renumbered and how, and the number a new section gets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/LineTable.h"
#include "text/SectionNumbers.h"
#include "TestSupport.h"

using namespace engine;

namespace {

// The numbered headers of a configuration file's text, as an install
// loads it.
std::vector<NumberedHeader> HeadersOf(const std::string& text) {
  ConfigLineTable table;
  EXPECT_EQ(FillConfigLines(table, text).status, LoadStatus::Loaded);
  return NumberedHeadersOf(table);
}

// The numbers, in file order, that the sections have once the plan is
// carried out.
std::vector<long> NumbersAfter(const std::string& text) {
  ConfigLineTable table;
  FillConfigLines(table, text);
  NumberSectionsWhole(table);
  std::vector<long> numbers;
  for (const NumberedHeader& header : NumberedHeadersOf(table)) numbers.push_back(header.number);
  return numbers;
}

TEST(SectionHeaders, SpellingsThatAreAndAreNotNumbered) {
  struct Case {
    const char* line;
    bool numbered;
    long number;
  };
  const Case cases[] = {
      {"[fltsim.0]", true, 0},
      {"[FLTSIM.2]", true, 2},           // the simulator reads any letter case
      {"[Fltsim.17] ; my old one", true, 17},  // what follows the "]" is no part of it
      {"  [fltsim.3]", true, 3},         // blanks before it
      {"\t[fltsim.4]", true, 4},
      {"[fltsim.03]", true, -1},         // a section, but not a number the simulator looks for
      {"[fltsim.1234567890]", true, -1}, // more than nine digits
      {"[fltsim.999999999]", true, 999999999},
      {"[fltsim.x]", false, 0},          // disabled by its name: left as it is
      {"[fltsim.]", false, 0},
      {"[fltsim. 3]", false, 0},
      {"[fltsim.3", false, 0},
      {"[fltsim.3a]", false, 0},
      {"[fltsim3]", false, 0},
      {"x[fltsim.3]", false, 0},
      {"[general]", false, 0},
      {"title=[fltsim.3]", false, 0},
  };
  for (const Case& c : cases) {
    SectionHeader header;
    ASSERT_EQ(ReadSectionHeader(c.line, &header), c.numbered) << c.line;
    if (c.numbered) {
      EXPECT_EQ(header.number, c.number) << c.line;
    }
  }
}

TEST(SectionNumbers, WholeNumbersStayInWhateverOrderTheFileHasThem) {
  for (const char* text : {"[fltsim.0]\n[fltsim.1]\n[fltsim.2]\n", "[fltsim.2]\n[fltsim.1]\n[fltsim.0]\n",
                           "[fltsim.1]\n[General]\n[fltsim.0]\n[fltsim.x]\n", ""}) {
    const SectionNumbers plan = PlanSectionNumbers(HeadersOf(text));
    EXPECT_TRUE(plan.changes.empty()) << text;
    EXPECT_EQ(plan.nextFree, static_cast<long>(plan.sections)) << text;
  }
  EXPECT_EQ(PlanSectionNumbers(HeadersOf("[fltsim.2]\n[fltsim.1]\n[fltsim.0]\n")).sections, 3u);
}

TEST(SectionNumbers, AGapARepeatOrAnOddSpellingRenumbersInFileOrder) {
  // The removal took [fltsim.1] out.
  EXPECT_EQ(NumbersAfter("[fltsim.0]\n[fltsim.2]\n"), (std::vector<long>{0, 1}));
  // A repeat, counting down.
  EXPECT_EQ(NumbersAfter("[fltsim.2]\n[fltsim.2]\n[fltsim.1]\n"), (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(NumbersAfter("[fltsim.0]\n[fltsim.01]\n"), (std::vector<long>{0, 1}));
  EXPECT_EQ(NumbersAfter("[fltsim.5]\n"), (std::vector<long>{0}));
  // Only the headers whose number differs from their place are in the
  // plan: [fltsim.2], third in the file, keeps its number.
  const SectionNumbers plan = PlanSectionNumbers(HeadersOf("[fltsim.0]\nk=v\n[fltsim.7]\n[fltsim.2]\n"));
  ASSERT_EQ(plan.changes.size(), 1u);
  EXPECT_EQ(plan.changes[0].line, 2u);
  EXPECT_EQ(plan.changes[0].number, 1);
  EXPECT_EQ(plan.sections, 3u);
  EXPECT_EQ(plan.nextFree, 1) << "as the file stands, 1 is free";
}

TEST(SectionNumbers, RenumberingChangesOnlyTheNumber) {
  ConfigLineTable table;
  // Eleven more sections, so that a number grows by a digit where a header
  // is renumbered past 9.
  std::string many;
  for (int i = 0; i < 11; ++i) many += "[fltsim.20]\ntitle=t" + std::to_string(i) + "\n";
  FillConfigLines(table, "[fltsim.9] ; keep this\ntitle=Nine\n  [FLTSIM.9]\ntitle=Other\n[fltsim.x]\n" + many);
  EXPECT_EQ(NumberSectionsWhole(table), 13u);
  EXPECT_STREQ(table.Line(0), "[fltsim.0] ; keep this");
  EXPECT_STREQ(table.Line(1), "title=Nine");
  EXPECT_STREQ(table.Line(2), "[FLTSIM.1]") << "indent gone at load, letter case kept";
  EXPECT_STREQ(table.Line(4), "[fltsim.x]");
  EXPECT_STREQ(table.Line(5 + 2 * 10), "[fltsim.12]");
  EXPECT_STREQ(table.Line(5 + 2 * 10 + 1), "title=t10");
  EXPECT_EQ(NumberSectionsWhole(table), 0u) << "a second pass finds them whole";
  EXPECT_EQ(WithSectionNumber("\t[Fltsim.007]]x", 12), "\t[Fltsim.12]]x");
}

TEST(SectionNumbers, TheNextNumberFillsTheSmallestGap) {
  EXPECT_EQ(PlanSectionNumbers(HeadersOf("[fltsim.0]\n[fltsim.1]\n[fltsim.3]\n")).nextFree, 2);
  EXPECT_EQ(PlanSectionNumbers(HeadersOf("[fltsim.1]\n[fltsim.1]\n")).nextFree, 0);
  EXPECT_EQ(PlanSectionNumbers(HeadersOf("[fltsim.0]\n[fltsim.0]\n")).nextFree, 1);
  EXPECT_EQ(PlanSectionNumbers(HeadersOf("[fltsim.00]\n")).nextFree, 0) << "00 is not the 0 the simulator reads";
  // Of a file's bytes as stored, with the lines text mode reads.
  const std::vector<NumberedHeader> stored = NumberedHeadersOf(std::string_view("[fltsim.0]\r\n  [fltsim.1]\r\nx\x1a"));
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(stored[1].line, 1u);
  EXPECT_EQ(PlanSectionNumbers(stored).nextFree, 2);
}

}  // namespace
