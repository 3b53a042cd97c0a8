#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "text/UnifiedDiff.h"
#include "RealShapes.h"
#include "TestSupport.h"

using namespace engine;

namespace {

// Applies a diff with patch(1) to a copy of the old text.
std::string Patched(const TempDir& dir, const std::string& oldText, const std::string& diff) {
  WriteFile(dir / "file", oldText);
  WriteFile(dir / "diff", diff);
  std::string command = "patch -s --binary -o " + (dir / "out") + " " + (dir / "file") + " " + (dir / "diff") +
                        " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return "<patch failed>";
  return ReadFile(dir / "out");
}

TEST(UnifiedDiff, ShowsChangesWithThreeLinesOfContext) {
  const std::string diff = UnifiedDiff("a.cfg", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12\n",
                                       "b.cfg", "1\n2\n3\n4\nfive\n6\n7\n8\n9\n10\n11\n12\nthirteen");
  EXPECT_EQ(diff,
            "--- a.cfg\n+++ b.cfg\n"
            "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"
            "@@ -10,3 +10,4 @@\n 10\n 11\n 12\n+thirteen\n\\ No newline at end of file\n");
  EXPECT_EQ(UnifiedDiff("a", "same\n", "b", "same\n"), "");
  EXPECT_EQ(UnifiedDiff("a", "", "b", "x\n"), "--- a\n+++ b\n@@ -0,0 +1 @@\n+x\n");
}

TEST(UnifiedDiff, PatchTurnsOldIntoNewExactly) {
#ifdef _WIN32
  GTEST_SKIP() << "patch(1) is a tool of the Linux side; the diff is the same code there";
#endif
  TempDir dir;
  std::mt19937 random(20261208);
  const char* pool[] = {"[fltsim.0]\r\n", "title=a\r\n", "sim=b\r\n", "\r\n", "x\n", "y", "k=v\r\n", "z\r\n"};
  auto randomText = [&](int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += pool[random() % 8];
    return text;
  };
  for (int round = 0; round < 60; ++round) {
    const std::string oldText = randomText(static_cast<int>(random() % 40));
    std::string newText = oldText;
    // Edits of every kind: whole rewrites, small changes, nothing.
    if (round % 3 == 0) newText = randomText(static_cast<int>(random() % 40));
    else if (round % 3 == 1 && !newText.empty()) newText.insert(random() % newText.size(), randomText(3));
    const std::string diff = UnifiedDiff("old", oldText, "new", newText);
    if (oldText == newText) {
      EXPECT_EQ(diff, "");
      continue;
    }
    EXPECT_EQ(Patched(dir, oldText, diff), newText) << diff;
  }
}

// Diffs of files of real size, where every line changes (the first run
// lower-cases a whole file), where sections move, and where lines repeat
// so much that the compare gives a part up as changed whole: each is a
// diff that patch(1) applies exactly, made in time linear in the lines.
TEST(UnifiedDiff, FilesOfRealSizeGiveDiffsThatPatchApplies) {
#ifdef _WIN32
  GTEST_SKIP() << "patch(1) is a tool of the Linux side; the diff is the same code there";
#endif
  TempDir dir;
  ConfigShape shape;
  shape.sections = 660;
  shape.userNotes = true;
  const std::string config = RealConfig(shape);
  const std::string rewritten = AsTheRemovalPassLeavesIt(config);
  ASSERT_GT(SplitLines(config, "\r\n").size(), 12000u);
  const std::string everyLine = UnifiedDiff("old", config, "new", rewritten);
  EXPECT_EQ(Patched(dir, config, everyLine), rewritten);

  // The sections of an earlier run taken out in the middle, new ones at
  // the end.
  std::string earlier = rewritten, later = rewritten;
  for (int i = 0; i < 300; ++i) {
    const std::string section = "\r\n[fltsim." + std::to_string(660 + i) + "]\r\ntitle=~RUN" + std::to_string(i) +
                                "\r\nmodel=\r\npanel=\r\nquorvane=x\r\n";
    earlier.insert(earlier.size() / 2, section);
    later += section;
  }
  EXPECT_EQ(Patched(dir, earlier, UnifiedDiff("old", earlier, "new", later)), later);

  // Two lines in 60,000 random places on each side.
  std::mt19937 random(18);
  std::string a, b;
  for (int i = 0; i < 60000; ++i) a += random() % 2 ? "k=v\r\n" : "\r\n";
  for (int i = 0; i < 60000; ++i) b += random() % 2 ? "k=v\r\n" : "\r\n";
  EXPECT_EQ(Patched(dir, a, UnifiedDiff("old", a, "new", b)), b);
}

}  // namespace
