// Install, a repeated install, remove and the check of the user's files,
// on files shaped like those users have collected: thousands of sections
// and model lines, values of hundreds of characters, Windows-1252 and
// UTF-8 bytes, headers and titles spelt as painters spell them, and no
// line end after the last line.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "checks/FileCheck.h"
#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "RealShapes.h"
#include "TestSupport.h"

using namespace engine;

namespace {

struct Shape {
  const char* what;
  ConfigShape config;
  ModelListShape models;
};

std::vector<Shape> Shapes() {
  Shape largest{"the largest collection: 12,500 lines, a 14,445-line list", {}, {}};
  largest.config.sections = 660;
  Shape bare{"LF only, UTF-8 mixed in, no last line ends", {}, {}};
  bare.config.sections = 200;
  bare.config.crlf = false;
  bare.config.mixedUtf8 = true;
  bare.config.lastLineEnd = false;
  bare.models.lines = 3000;
  bare.models.lastLineEnd = false;
  Shape many{"5,000 short sections", {}, {}};
  many.config.sections = 5000;
  many.config.extraKeys = 0;
  many.config.longestValue = 60;
  many.models.lines = 5000;
  many.models.longestLine = 300;
  Shape edited{"hand-edited: 12,500 lines, numbers skipped and repeated, notes, indented headers", {}, {}};
  edited.config.sections = 660;
  edited.config.numberGaps = true;
  edited.config.userNotes = true;
  Shape editedBare{"hand-edited, LF only, no last line ends", {}, {}};
  editedBare.config = bare.config;
  editedBare.config.sections = 300;
  editedBare.config.numberGaps = true;
  editedBare.config.userNotes = true;
  editedBare.models = bare.models;
  return {largest, bare, many, edited, editedBare};
}

// A line no key holds: an install keeps it, and the check names it.
constexpr const char* kStrayLine = "Repainted by J. Smith";

// The file of the shape with the stray line as its line 2.
std::string ConfigWithStrayLine(const ConfigShape& shape) {
  std::string config = RealConfig(shape);
  config.insert(config.find('\n') + 1, std::string(kStrayLine) + (shape.crlf ? "\r\n" : "\n"));
  return config;
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines = SplitLines(text, "\r\n");
  std::sort(lines.begin(), lines.end());
  return lines;
}

class RealShapesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddAirline(0, "Alpha", "ALP1");
    tree_.AddAirline(1, "Bravo", "BRV2");
    tree_.AddAirline(2, "Charlie", "CHL3");
    tree_.UseCatalogue(run_);
  }
  FakeHost Host() const {
    FakeHost host;
    host.UseTree(tree_, {"Alpha", "Bravo", "Charlie"});
    return host;
  }
  // Runs the command and expects it to end with its message of success,
  // and with the note of renumbered sections when `renumbers`.
  void Expect(InstallOutcome (*command)(InstallRun&, const InstallRequest&, InstallHost&, DryRun*), const char* success,
              const char* name, bool renumbers = false) {
    FakeHost host = Host();
    ASSERT_EQ(command(run_, host.Request(), host, nullptr), InstallOutcome::Completed) << name;
    ASSERT_NE(host.LastMessage(), nullptr) << name;
    const std::string& text = host.LastMessage()->text;
    EXPECT_EQ(text.rfind(success, 0), 0u) << name << ": " << text;
    if (renumbers) {
      EXPECT_NE(text.find("sections were renumbered so that the simulator finds every section"), std::string::npos)
          << name << ": " << text;
      EXPECT_NE(text.find("titles and everything else in the sections are unchanged"), std::string::npos) << text;
    } else {
      EXPECT_EQ(text, success) << name;
    }
    for (const FakeHost::Message& message : host.messages) {
      EXPECT_NE(message.kind, MessageKind::Failure) << name << ": " << message.text;
    }
  }

  InstallTree tree_;
  InstallRun run_;
};

// The numbers of the file's "[fltsim.N]" headers, in file order, and
// whether they are 0 to K-1, each once.
std::vector<long> HeaderNumbers(const std::string& config) {
  std::vector<long> numbers;
  for (const std::string& line : SplitLines(config, "\n")) {
    if (line.rfind("[fltsim.", 0) != 0 && line.rfind("[FLTSIM.", 0) != 0 && line.rfind("[Fltsim.", 0) != 0) continue;
    numbers.push_back(std::stol(line.substr(8)));
  }
  return numbers;
}
bool NumberedWhole(std::vector<long> numbers) {
  std::sort(numbers.begin(), numbers.end());
  for (std::size_t k = 0; k < numbers.size(); ++k) {
    if (numbers[k] != static_cast<long>(k)) return false;
  }
  return true;
}

// What a check of the user's files finds that the user's own lines do
// not explain: every problem but the lines no key holds (the user's notes,
// which an install keeps) and the sections past the title scan's reach
// (which only the file's length causes).
std::vector<std::string> ProblemsOfTheRun(const FileCheck& check) {
  std::vector<std::string> left;
  for (const std::string& problem : check.problems) {
    if (problem.find("is no header, comment or key=value line") != std::string::npos) continue;
    if (problem.find("more lines the simulator reads nothing from") != std::string::npos) continue;
    if (problem.find("lie past the first 10000 lines") != std::string::npos) continue;
    if (problem.find("lies past the first 10000 lines") != std::string::npos) continue;
    left.push_back(problem);
  }
  return left;
}

std::size_t LongestLine(const std::string& text) {
  std::size_t longest = 0;
  for (const std::string& line : SplitLines(text, "\n")) longest = std::max(longest, line.size());
  return longest;
}

// The generator keeps the shapes the tests are about.
TEST(RealShapes, HaveTheLengthsAndBytesOfRealFiles) {
  const Shape largest = Shapes()[0];
  const std::string config = RealConfig(largest.config);
  const std::string models = RealModelList(largest.models, largest.config);
  EXPECT_GT(SplitLines(config, "\r\n").size(), 12372u);
  EXPECT_EQ(SplitLines(models, "\r\n").size(), 14445u);
  EXPECT_GE(LongestLine(config), 12 + 727u);
  EXPECT_EQ(LongestLine(models), 1476u + 1) << "with its CR";
  for (const char* spelling : {"\n[FLTSIM.", "\n[Fltsim.", "\n[fltsim.", "\ntitle = \"", "\xE9", "\x80"}) {
    EXPECT_NE(config.find(spelling), std::string::npos) << spelling;
  }
  const Shape bare = Shapes()[1];
  EXPECT_NE(RealConfig(bare.config).find("\xC3\xA9"), std::string::npos) << "UTF-8 beside Windows-1252";
  EXPECT_NE(RealConfig(bare.config).back(), '\n');
}

TEST_F(RealShapesTest, InstallRepeatAndRemoveKeepEveryLineOfTheUsersFiles) {
  for (const Shape& shape : Shapes()) {
    SCOPED_TRACE(shape.what);
    const std::string config = ConfigWithStrayLine(shape.config);
    const std::string models = RealModelList(shape.models, shape.config);
    WriteFile(tree_.config(), config);
    WriteFile(tree_.models(), models);
    const std::string foreign = AsTheRemovalPassLeavesIt(config);
    ASSERT_NE(foreign.find(Folded(kStrayLine) + "\r\n"), std::string::npos) << "the user's line is kept";
    for (const std::string& note : RealNotes(shape.config)) {
      ASSERT_NE(foreign.find("\r\n" + Folded(note) + "\r\n"), std::string::npos) << note;
    }
    const bool renumbers = shape.config.numberGaps;
    ASSERT_EQ(NumberedWhole(HeaderNumbers(config)), !renumbers);

    Expect(OnInstall, kSuccessText, "install", renumbers);
    const std::string installedConfig = ReadFile(tree_.config());
    const std::string installedModels = ReadFile(tree_.models());
    ASSERT_EQ(installedConfig.compare(0, foreign.size(), foreign), 0) << "every line of the user's sections kept";
    const std::string added = installedConfig.substr(foreign.size());
    const int k = shape.config.sections;
    for (const std::string& section : {"[fltsim." + std::to_string(k) + "]\r\nTitle=~ALP1\r\n",
                                       "[fltsim." + std::to_string(k + 1) + "]\r\nTitle=~BRV2\r\n",
                                       "[fltsim." + std::to_string(k + 2) + "]\r\nTitle=~CHL3\r\n"}) {
      EXPECT_NE(added.find(section), std::string::npos) << section;
    }
    EXPECT_TRUE(NumberedWhole(HeaderNumbers(installedConfig))) << "numbers 0 to K-1 after the install";
    EXPECT_EQ(HeaderNumbers(installedConfig).size(), static_cast<std::size_t>(k + 3));
    std::vector<std::string> expectedModels = SplitLines(models, "\r\n");
    for (const char* line : {"Alpha (QUORVANE),ALP1", "Bravo (QUORVANE),BRV2", "Charlie (QUORVANE),CHL3"}) {
      expectedModels.push_back(line);
    }
    std::sort(expectedModels.begin(), expectedModels.end());
    EXPECT_EQ(SortedLines(installedModels), expectedModels) << "every model line kept byte for byte";
    EXPECT_EQ(installedModels.substr(installedModels.size() - 2), "\r\n");
    const std::vector<std::string> afterInstall =
        ProblemsOfTheRun(CheckUserFiles(tree_.config().c_str(), tree_.models().c_str()));
    EXPECT_TRUE(afterInstall.empty()) << afterInstall.front();

    // The result of a run is a file the next run takes as it is.
    Expect(OnInstall, kSuccessText, "repeated install");
    EXPECT_EQ(ReadFile(tree_.config()), installedConfig);
    EXPECT_EQ(ReadFile(tree_.models()), installedModels);

    Expect(OnRemove, kRemovedText, "remove");
    EXPECT_EQ(ReadFile(tree_.config()), foreign);
    EXPECT_EQ(SortedLines(ReadFile(tree_.models())), SortedLines(models + (shape.models.lastLineEnd ? "" : "\r\n")));
    const std::vector<std::string> afterRemove =
        ProblemsOfTheRun(CheckUserFiles(tree_.config().c_str(), tree_.models().c_str()));
    EXPECT_TRUE(afterRemove.empty()) << afterRemove.front();
    Expect(OnRemove, kRemovedText, "repeated remove");
    EXPECT_EQ(ReadFile(tree_.config()), foreign);
  }
}

TEST_F(RealShapesTest, TheCheckFindsOnlyWhatIsThere) {
  for (const Shape& shape : Shapes()) {
    SCOPED_TRACE(shape.what);
    const std::string config = ConfigWithStrayLine(shape.config);
    const std::size_t lines = SplitLines(config, shape.config.crlf ? "\r\n" : "\n").size();
    WriteFile(tree_.config(), config);
    WriteFile(tree_.models(), RealModelList(shape.models, shape.config));

    const FileCheck check = CheckUserFiles(tree_.config().c_str(), tree_.models().c_str());
    std::string all;
    for (const std::string& problem : check.problems) all += problem + "\n";
    EXPECT_TRUE(check.earlierEntries.empty());
    if (shape.config.userNotes) {
      // Each note without a key, the indented headers, and the numbers.
      for (const char* found : {"\"// Repainted by J. Smith, 2003\" is no header", "\"Livery\" is no header",
                                "\"\t[fltsim.", "is a header with blanks before it", "[fltsim.05] is no number",
                                "repeats the number of line", "the numbers jump to"}) {
        EXPECT_NE(all.find(found), std::string::npos) << found << "\n" << all;
      }
      EXPECT_EQ(all.find("disabled = the old model"), std::string::npos) << "a comment is no problem";
      continue;
    }
    ASSERT_EQ(check.problems.size(), lines > 10000 ? 2u : 1u) << all;
    EXPECT_NE(check.problems[0].find("Aircraft.cfg line 2:"), std::string::npos) << all;
    if (lines > 10000) {
      EXPECT_NE(all.find("lie past the first 10000 lines"), std::string::npos) << all;
    }
  }
}

}  // namespace
