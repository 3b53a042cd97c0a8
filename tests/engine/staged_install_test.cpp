// A command builds its whole result aside and swaps it in at its end. What
// it leaves must be byte for byte what its steps leave when each writes
// the files in turn: the removal pass, then each airline's section and
// model line appended in text mode (the title scan over the file as it
// grows, the next free number, a line break first where the file lacked
// one), then the model list read again and sorted. And until that end, the
// user's files are as they were.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "commands/InstallCommand.h"
#include "commands/RunSteps.h"
#include "install/AirlineInstall.h"
#include "removal/ModelListSort.h"
#include "removal/RemovalPass.h"
#include "run/InstallRun.h"
#include "staging/FileSwap.h"
#include "RealShapes.h"
#include "TestSupport.h"

using namespace engine;

namespace {

// Temporary files of ours anywhere below the folder.
std::vector<std::string> Temporaries(const std::string& folder) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.path().string().find(".quorvane-") != std::string::npos) found.push_back(entry.path().string());
  }
  return found;
}

struct Shape {
  const char* what;
  std::string config;
  std::string models;
};

// Files whose shapes bear on the appends: the title scan's pieces and
// reach, the numbering, line ends, titles of the catalogue already there.
std::vector<Shape> Shapes() {
  std::vector<Shape> shapes;
  ConfigShape real;
  real.sections = 120;
  real.numberGaps = true;
  real.userNotes = true;
  real.lastLineEnd = false;
  shapes.push_back({"real shapes, gaps and notes, no last line end", RealConfig(real),
                    RealModelList(ModelListShape{300, 400, false}, real)});
  real.crlf = false;
  real.sections = 2600;  // past the ten thousand lines the title scan reads
  shapes.push_back({"LF line ends, past the scan's reach", RealConfig(real), RealModelList(ModelListShape{}, real)});
  shapes.push_back({"a title of the catalogue already there, in every spelling",
                    Crlf("[fltsim.0]\ntitle=~BRV2\n[FLTSIM.3]\nTitle=~CHL3\n[fltsim.7]\nTitle=~ALP1 \n"),
                    Crlf("Bravo (QUORVANE),BRV2\nmine,1\n")});
  shapes.push_back({"a long line read in pieces",
                    std::string(1999, 'x') + "[fltsim.9]\nTitle=~ECH5\n" + std::string(2500, 'y') + "\n",
                    "b,1\nA,2\n_x\na,1"});
  shapes.push_back({"numbers held above the next free one",
                    Crlf("[fltsim.0]\ntitle=a\n[fltsim.1]\ntitle=b\n[fltsim.2]\ntitle=c\n[fltsim.4]\ntitle=d\n"), ""});
  shapes.push_back({"empty files", "", ""});
  return shapes;
}

class StagedInstall : public ::testing::Test {
 protected:
  void SetUp() override {
    for (InstallTree* tree : {&byCommand_, &byStep_}) {
      tree->AddAirline(0, "Alpha", "ALP1");
      tree->AddAirline(1, "Bravo", "BRV2");
      tree->AddAirline(2, "Charlie", "CHL3");
      tree->AddAirline(3, "Delta", "DLT4");
      tree->AddAirline(4, "Echo", "ECH5");
    }
  }

  // Listed as a user may leave the list: one airline twice, one not
  // selected.
  const std::vector<std::string> entries_ = {"Alpha", "Bravo", "Charlie", "Bravo", "Delta", "Echo"};
  const std::vector<bool> selected_ = {true, true, true, true, false, true};
  InstallTree byCommand_;
  InstallTree byStep_;
};

TEST_F(StagedInstall, LeavesTheFilesItsStepsLeaveOneAfterTheOther) {
  for (const Shape& shape : Shapes()) {
    SCOPED_TRACE(shape.what);
    for (InstallTree* tree : {&byCommand_, &byStep_}) {
      WriteFile(tree->config(), shape.config);
      WriteFile(tree->models(), shape.models);
    }
    InstallRun run;
    byCommand_.UseCatalogue(run);
    FakeHost host;
    host.UseTree(byCommand_, entries_);
    host.selected = selected_;
    ASSERT_EQ(OnInstall(run, host.Request(), host), InstallOutcome::Completed) << host.LastMessage()->text;

    InstallRun steps;
    byStep_.UsePaths(steps);
    ASSERT_FALSE(RemoveEarlierEntries(steps).refused);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (selected_[i]) InstallAirline(steps, entries_[i].c_str());
    }
    SortModelList(steps.modelList, steps.context.modelListPath, steps.report);
    ASSERT_FALSE(steps.report.HasFailures()) << steps.report.Failures()[0];

    EXPECT_EQ(ReadFile(byCommand_.config()), ReadFile(byStep_.config()));
    EXPECT_EQ(ReadFile(byCommand_.models()), ReadFile(byStep_.models()));
    for (const char* code : {"ALP1", "BRV2", "CHL3", "ECH5"}) {
      EXPECT_EQ(ReadFile(byCommand_.csl + "/texture." + code + "/csl.0af"), std::string("texture of ") + code);
    }
    EXPECT_EQ(Temporaries(byCommand_.dir.path()), std::vector<std::string>{});
  }
}

// A host that looks at both files at every step the command shows.
class WatchingHost : public FakeHost {
 public:
  std::string config, models;
  const InstallTree* tree = nullptr;
  int looks = 0;
  int changedAt = -1;  // the first look that found a file changed
  void Look() {
    ++looks;
    if (changedAt < 0 && (ReadFile(tree->config()) != config || ReadFile(tree->models()) != models)) {
      changedAt = looks;
    }
  }
  void ShowWaitBox(const char* text) override {
    FakeHost::ShowWaitBox(text);
    Look();
  }
  void CloseWaitBox() override {
    FakeHost::CloseWaitBox();
    Look();
  }
  void SetProgressPos(ProgressBar bar, int pos) override {
    FakeHost::SetProgressPos(bar, pos);
    if (bar == ProgressBar::Overall) Look();
  }
};

TEST_F(StagedInstall, TheFilesChangeOnlyAtTheEndOfTheCommand) {
  const std::string config = Crlf("[fltsim.0]\ntitle=Mine\n[fltsim.4]\ntitle=~ALP1\nquorvane=old\n");
  const std::string models = Crlf("Mine,X\nAlpha (QUORVANE),ALP1\n");
  WriteFile(byCommand_.config(), config);
  WriteFile(byCommand_.models(), models);
  InstallRun run;
  byCommand_.UseCatalogue(run);
  WatchingHost host;
  host.UseTree(byCommand_, entries_);
  host.selected = selected_;
  host.tree = &byCommand_;
  host.config = config;
  host.models = models;
  ASSERT_EQ(OnInstall(run, host.Request(), host), InstallOutcome::Completed);
  EXPECT_EQ(host.changedAt, -1) << "changed at look " << host.changedAt << " of " << host.looks;
  EXPECT_GT(host.looks, 10);
  EXPECT_NE(ReadFile(byCommand_.config()), config);

  // The same for remove.
  const std::string installed = ReadFile(byCommand_.config());
  host.config = installed;
  host.models = ReadFile(byCommand_.models());
  host.looks = 0;
  ASSERT_EQ(OnRemove(run, host.Request(), host), InstallOutcome::Completed);
  EXPECT_EQ(host.changedAt, host.looks) << "only the bar's last move, once the files are replaced, sees them changed";
  EXPECT_NE(ReadFile(byCommand_.config()), installed);
}

// What another program writes into the files while a command works: an
// append is kept as the command's own appends would have met it (as
// before); anything else cannot be kept together with the command's
// work, so the command changes nothing and says so.
TEST_F(StagedInstall, AnotherProgramsEditThatIsNoAppendStopsTheCommandWithNothingChanged) {
  struct EditingHost : FakeHost {
    std::string path;
    bool edited = false;
    void ShowWaitBox(const char* text) override {
      FakeHost::ShowWaitBox(text);
      if (edited || std::string(text).find("Installing Airline     Bravo") != 0) return;
      WriteFile(path, "rewritten by another program\r\n" + ReadFile(path));
      edited = true;
    }
  };
  for (const bool modelList : {false, true}) {
    const std::string config = Crlf("[fltsim.0]\ntitle=Mine\n");
    const std::string models = Crlf("Mine,X\n");
    WriteFile(byCommand_.config(), config);
    WriteFile(byCommand_.models(), models);
    InstallRun run;
    byCommand_.UseCatalogue(run);
    EditingHost host;
    host.UseTree(byCommand_, {"Alpha", "Bravo", "Charlie"});
    host.path = modelList ? byCommand_.models() : byCommand_.config();
    EXPECT_EQ(OnInstall(run, host.Request(), host), InstallOutcome::CheckFailed);
    const std::string text = host.LastMessage()->text;
    EXPECT_NE(text.find(plat::DisplayPath(host.path.c_str()) + " was changed by another program while Quorvane was "
                                                               "working on it"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Nothing has been changed."), std::string::npos) << text;
    EXPECT_EQ(ReadFile(byCommand_.config()), modelList ? config : "rewritten by another program\r\n" + config);
    EXPECT_EQ(ReadFile(byCommand_.models()), modelList ? "rewritten by another program\r\n" + models : models);
    EXPECT_FALSE(FileExists(byCommand_.config() + ".bak"));
    EXPECT_FALSE(FileExists(byCommand_.csl + "/texture.ALP1/csl.0af"));
    EXPECT_EQ(Temporaries(byCommand_.dir.path()), std::vector<std::string>{});
  }
}

}  // namespace
