// A report as the read-only edit control of the report window gets it.

#include <gtest/gtest.h>

#include "ReportText.h"

using namespace ui;

namespace {

TEST(ReportText, EveryLineFeedStandsAfterACarriageReturnOnce) {
  EXPECT_EQ(WithCrLf(""), "");
  EXPECT_EQ(WithCrLf("\n"), "\r\n");
  EXPECT_EQ(WithCrLf("--- a\n+++ a\n@@ -1 +1 @@\n-x\r\n+y\r\n"), "--- a\r\n+++ a\r\n@@ -1 +1 @@\r\n-x\r\n+y\r\n")
      << "the diff's own lines gain a CR, the file's lines keep theirs";
  EXPECT_EQ(WithCrLf("a\r\r\nb\rc"), "a\r\r\nb\rc") << "a CR of the user's file stays";
  EXPECT_EQ(WithCrLf("\n\n"), "\r\n\r\n");
  EXPECT_EQ(WithCrLf("\xe9t\xe9\n"), "\xe9t\xe9\r\n") << "Windows-1252 bytes pass";
}

TEST(ReportText, AReportTooLongForTheControlEndsAtALineWithTheNote) {
  const std::string note = "(cut)";
  EXPECT_EQ(FitForControl("one\r\ntwo\r\n", 10, note), "one\r\ntwo\r\n") << "exactly the limit fits";
  EXPECT_EQ(FitForControl("one\r\ntwo\r\nthree\r\n", 12, note), "one\r\n(cut)");
  EXPECT_EQ(FitForControl("one\r\ntwo\r\nthree\r\n", 15, note), "one\r\ntwo\r\n(cut)");
  EXPECT_EQ(FitForControl("a line longer than the control\r\n", 10, note), "(cut)") << "no half line";
  EXPECT_EQ(FitForControl("abcdef", 3, note), "(cut)") << "a note longer than the room still shows";
  const std::string big(100000, 'x');
  EXPECT_LE(FitForControl(big + "\n" + big, 150000, note).size(), 150000u);
}

}  // namespace
