#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <new>
#include <string>

#include "checks/FileCheck.h"
#include "commands/InstallCommand.h"
#include "commands/Preview.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "TestSupport.h"
#include "platform/FaultInjection.h"
#include "platform/FileSystem.h"

using namespace engine;

namespace {

class InstallCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddAirline(0, "Alpha", "ALP1");
    tree_.AddAirline(1, "Bravo", "BRV2");
    tree_.AddAirline(2, "Charlie", "CHL3");
    tree_.AddAirline(3, "Delta", "DLT4");
    tree_.AddAirline(4, "Echo", "ECH5");
    tree_.UseCatalogue(run_);
    ResetHost();
  }
  void ResetHost() {
    host_ = FakeHost();
    host_.UseTree(tree_, {"Alpha", "Bravo", "Charlie", "Delta", "Echo"});
  }
  InstallOutcome Run() { return OnInstall(run_, host_.Request(), host_); }
  std::string LastText() { return host_.LastMessage() ? host_.LastMessage()->text : ""; }

  InstallTree tree_;
  InstallRun run_;
  FakeHost host_;
};

TEST_F(InstallCommandTest, CancelReadsAndChangesNothing) {
  host_.confirmAnswer = Answer::Cancel;
  char before[4096];
  ASSERT_NE(getcwd(before, sizeof before), nullptr);
  EXPECT_EQ(Run(), InstallOutcome::Cancelled);
  char after[4096];
  ASSERT_NE(getcwd(after, sizeof after), nullptr);
  EXPECT_STREQ(before, after);
  EXPECT_STREQ(run_.context.fsFolder, "");
  EXPECT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, kConfirmText);
  EXPECT_EQ(ReadFile(tree_.config()), "");
}

TEST_F(InstallCommandTest, ChecksComeInOrderAndChangeNothing) {
  struct Case {
    const char* what;
    std::function<void()> spoil;
    const char* message;
  };
  // Fits the field, but not with "\aircraft\csl\Aircraft.cfg" behind it.
  const std::string longFs = tree_.fs + "/" + std::string(120, 'x') + "/" + std::string(290 - tree_.fs.size() - 122, 'y');
  MakeFolders(longFs);
  WriteFile(longFs + "/FS2002.exe", "");
  const std::vector<Case> cases = {
      {"both folders wrong", [&] { host_.fsFolder = "/nowhere"; host_.squawkBoxFolder = tree_.fs; },
       kInvalidSquawkBoxText},
      {"no FS2002.exe", [&] { host_.fsFolder = tree_.squawkBox; }, kInvalidFsText},
      {"empty FS folder", [&] { host_.fsFolder = ""; }, kInvalidFsText},
      {"nothing selected", [&] { host_.selected.assign(5, false); }, kNoSelectionText},
      {"no configuration", [&] { std::remove(tree_.config().c_str()); }, kNoConfigText},
      {"long SquawkBox path", [&] { host_.squawkBoxFolder = tree_.squawkBox + "/" + std::string(280, 'x'); },
       kSquawkBoxPathTooLongText},
#ifdef _WIN32
      // A folder this long cannot be the current folder on Windows (MAX_PATH),
      // so the check of FS2002.exe answers before the length check.
      {"long FS path", [&] { host_.fsFolder = longFs; }, kInvalidFsText},
#else
      {"long FS path", [&] { host_.fsFolder = longFs; }, kFsPathTooLongText},
#endif
  };
  for (const Case& c : cases) {
    ResetHost();
    WriteFile(tree_.config(), "[fltsim.0]\r\n");
    c.spoil();
    EXPECT_EQ(Run(), InstallOutcome::CheckFailed) << c.what;
    ASSERT_EQ(host_.messages.size(), 2u) << c.what;
    EXPECT_EQ(host_.messages[1].text, c.message) << c.what;
    EXPECT_EQ(host_.messages[1].kind, MessageKind::Failure) << c.what;
    EXPECT_TRUE(host_.waitBoxTexts.empty()) << c.what;
    EXPECT_FALSE(FileExists(tree_.models() + ".bak")) << c.what;
    WriteFile(tree_.config(), "");
  }
}

TEST_F(InstallCommandTest, TrailingBackslashesAndTheCslFallback) {
  host_.fsFolder = tree_.fs + "\\";
  host_.squawkBoxFolder = tree_.squawkBox + "\\";
  std::rename(tree_.config().c_str(), (tree_.csl + "/Aircraft.csl").c_str());
  EXPECT_EQ(Run(), InstallOutcome::Completed);
  EXPECT_EQ(std::string(run_.context.fsFolder), tree_.fs);
  EXPECT_EQ(std::string(run_.context.modelListPath), tree_.squawkBox + "\\\\CSL_ICAO.csv");
  EXPECT_EQ(std::string(run_.context.configPath), tree_.fs + "\\aircraft\\csl\\Aircraft.csl");
  EXPECT_FALSE(FileExists(tree_.config()));
  EXPECT_NE(ReadFile(tree_.csl + "/Aircraft.csl").find("\r\nTitle=~ECH5\r\n"), std::string::npos);
}

TEST_F(InstallCommandTest, WaitBoxScriptProgressAndSuccess) {
  host_.selected = {false, true, true, false, true};
  EXPECT_EQ(Run(), InstallOutcome::Completed);
  EXPECT_EQ(host_.waitBoxTexts,
            (std::vector<std::string>{"               ", "Initializing SquawkBox ... please wait !",
                                      "Reading aircraft entries ...", "Delete old entries ..... please wait !",
                                      "..", "<close>", "wait ..", "Installing Airline     Bravo ",
                                      "Installing Airline     Charlie ", "Installing Airline     Echo ", "<close>",
                                      "<close>", "<close>"}));
  EXPECT_EQ(host_.pauses, (std::vector<unsigned>{500, 1500, 1500, 2500, 500}));
  EXPECT_EQ(host_.waitCursors, 2);
  ASSERT_EQ(host_.progress.size(), 5u);
  EXPECT_TRUE(host_.progress[0].isRange);
  EXPECT_EQ(host_.progress[0].a, 1);
  EXPECT_EQ(host_.progress[0].b, 3);
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(host_.progress[i].a, i);
  EXPECT_EQ(LastText(), kSuccessText);
  EXPECT_EQ(ReadFile(tree_.models()),
            "Bravo (QUORVANE),BRV2\r\nCharlie (QUORVANE),CHL3\r\nEcho (QUORVANE),ECH5\r\n");
}

TEST_F(InstallCommandTest, RepeatedRunsReplaceInsteadOfPilingUp) {
  WriteFile(tree_.config(), Crlf("[fltsim.0]\ntitle=Mine\nsim=x\n"));
  WriteFile(tree_.models(), Crlf("Mine,X\n"));
  ASSERT_EQ(Run(), InstallOutcome::Completed);
  const std::string config = ReadFile(tree_.config());
  const std::string models = ReadFile(tree_.models());
  // The first run lower-cases what was there; the second gives identical files.
  ASSERT_EQ(Run(), InstallOutcome::Completed);
  EXPECT_EQ(ReadFile(tree_.config()), config);
  EXPECT_EQ(ReadFile(tree_.models()), models);
  // The second run changed nothing, so it kept nothing either: the backup
  // still holds what the last run that changed the files started from.
  EXPECT_EQ(ReadFile(tree_.config() + ".bak"), Crlf("[fltsim.0]\ntitle=Mine\nsim=x\n"));
}

TEST_F(InstallCommandTest, FailuresReplaceTheSuccessMessage) {
  std::remove((tree_.catalogue + "/CHL3.dat").c_str());
  host_.entries[3] = "Not in catalogue";
  EXPECT_EQ(Run(), InstallOutcome::CompletedWithFailures);
  const std::string text = LastText();
  EXPECT_EQ(text.find(kSuccessText), std::string::npos);
  EXPECT_EQ(text.rfind(kFinishedWithErrorsText, 0), 0u);
  EXPECT_NE(text.find("\"Charlie\": "), std::string::npos);
  EXPECT_NE(text.find("\"Not in catalogue\": not found"), std::string::npos);
  EXPECT_EQ(host_.LastMessage()->kind, MessageKind::Failure);
}

// A run that changed the files and then failed says how to put them back,
// in the words of the front end that ran it; a dry run changed nothing and
// says nothing of it.
TEST_F(InstallCommandTest, AFailedRunSaysHowToUndoItInTheFrontEndsWords) {
  struct WindowHost : FakeHost {
    std::string HowToUndo() const override { return "Right-click the window and choose Undo."; }
  };
  std::remove((tree_.catalogue + "/CHL3.dat").c_str());
  EXPECT_EQ(Run(), InstallOutcome::CompletedWithFailures);
  const std::string cliText = LastText();
  EXPECT_EQ(cliText.substr(cliText.size() - host_.HowToUndo().size()), host_.HowToUndo()) << cliText;

  WindowHost window;
  window.UseTree(tree_, host_.entries);
  EXPECT_EQ(OnInstall(run_, window.Request(), window), InstallOutcome::CompletedWithFailures);
  const std::string windowText = window.LastMessage()->text;
  EXPECT_NE(windowText.find("\n\nRight-click the window and choose Undo."), std::string::npos) << windowText;
  EXPECT_EQ(windowText.find("quorvane-cli"), std::string::npos);

  ResetHost();
  const Preview preview = PreviewCommand(run_, host_.Request(), host_, PreviewedCommand::Install);
  EXPECT_EQ(preview.outcome, InstallOutcome::CompletedWithFailures);
  EXPECT_EQ(LastText().find(host_.HowToUndo()), std::string::npos) << LastText();
}

// Remove looks at the folders first and then asks, naming both files and
// what it keeps of them; a wrong folder is refused without a question.
TEST_F(InstallCommandTest, RemoveChecksFirstThenAsksNamingBothFiles) {
  ASSERT_EQ(Run(), InstallOutcome::Completed);
  const std::string config = ReadFile(tree_.config());
  const std::string models = ReadFile(tree_.models());

  ResetHost();
  host_.fsFolder = tree_.squawkBox;
  EXPECT_EQ(OnRemove(run_, host_.Request(), host_), InstallOutcome::CheckFailed);
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(LastText(), kInvalidFsText);

  ResetHost();
  host_.confirmAnswer = Answer::Cancel;
  EXPECT_EQ(OnRemove(run_, host_.Request(), host_), InstallOutcome::Cancelled);
  ASSERT_EQ(host_.messages.size(), 1u);
  const std::string& question = host_.messages[0].text;
  EXPECT_EQ(question.rfind(kConfirmText, 0), 0u) << question;
  EXPECT_NE(question.find("\n  " + plat::DisplayPath(tree_.config().c_str()) + "\n"), std::string::npos) << question;
  EXPECT_NE(question.find("\n  " + plat::DisplayPath(tree_.models().c_str()) + "\n"), std::string::npos) << question;
  EXPECT_NE(question.find("Aircraft.cfg.bak and CSL_ICAO.csv.bak"), std::string::npos) << question;
  EXPECT_TRUE(host_.waitBoxTexts.empty());
  EXPECT_EQ(ReadFile(tree_.config()), config);
  EXPECT_EQ(ReadFile(tree_.models()), models);

  ResetHost();
  EXPECT_EQ(OnRemove(run_, host_.Request(), host_), InstallOutcome::Completed);
  EXPECT_EQ(LastText(), kRemovedText);
  EXPECT_EQ(host_.waitBoxTexts, (std::vector<std::string>{kWaitDeletingText, "<close>"}));
  EXPECT_EQ(ReadFile(tree_.models() + ".bak"), models);
}

// Past the ten thousand lines the title scan reads, every new section
// still gets a number of its own, after the file's last one.
TEST_F(InstallCommandTest, NewSectionsAreNumberedOnInFilesOfAnyLength) {
  std::string config;
  for (int i = 0; i < 2500; ++i) config += "[fltsim." + std::to_string(i) + "]\r\ntitle=t" + std::to_string(i) + "\r\nk=v\r\n";
  WriteFile(tree_.config(), config);
  ASSERT_EQ(Run(), InstallOutcome::Completed);
  EXPECT_EQ(LastText(), kSuccessText) << "nothing was renumbered";
  const std::string after = ReadFile(tree_.config());
  int number = 2500;
  for (const char* title : {"~ALP1", "~BRV2", "~CHL3", "~DLT4", "~ECH5"}) {
    const std::string section = "[fltsim." + std::to_string(number++) + "]\r\nTitle=" + title + "\r\n";
    EXPECT_NE(after.find(section), std::string::npos) << section;
  }
  EXPECT_EQ(after.find("[fltsim.2505]"), std::string::npos);
}

// A texture folder that cannot be made is named in a box of its own, the
// folder as its caption. Found by
// filling the disk at each file operation of the command in turn until the
// first new folder fails (a single failed attempt is made again).
TEST(InstallCommand, ATextureFolderThatCannotBeMadeGetsItsBox) {
  bool seen = false;
  for (long n = 1; n < 400 && !seen; ++n) {
    InstallTree tree;
    tree.AddAirline(0, "Alpha", "ALP1");
    InstallRun run;
    tree.UseCatalogue(run);
    FakeHost host;
    host.UseTree(tree, {"Alpha"});
    const std::string config = ReadFile(tree.config());
    plat::FillDiskAtNthOperation(n);
    OnInstall(run, host.Request(), host);
    plat::FailNthOperation(0);
    const auto box = std::find_if(host.messages.begin(), host.messages.end(),
                                  [](const FakeHost::Message& m) { return m.kind == MessageKind::FolderFailure; });
    if (box == host.messages.end()) continue;
    seen = true;
    EXPECT_EQ(box->text, kCannotCreateFolderText);
    EXPECT_EQ(box->caption, tree.fs + "\\aircraft\\csl\\texture.ALP1");
    EXPECT_EQ(ReadFile(tree.config()), config) << "a full disk changes nothing";
  }
  EXPECT_TRUE(seen) << "no full disk reached the first new texture folder";
}

// A host that stops the command with an exception half-way through its
// airlines, as memory that runs out would.
class ThrowingHost : public FakeHost {
 public:
  void ShowWaitBox(const char* text) override {
    FakeHost::ShowWaitBox(text);
    if (std::string(text).find("Installing Airline     Charlie") == 0) throw std::bad_alloc();
  }
};

// The files change only at the command's end, so a command stopped
// before it leaves them as they were, and no texture copy behind.
TEST_F(InstallCommandTest, ACommandStoppedByAnExceptionGivesBothFilesBack) {
  const std::string config = Crlf("[fltsim.0]\ntitle=Mine\n[fltsim.4]\ntitle=Old run\nquorvane=x\n");
  const std::string models = Crlf("Mine,X\nOld run (QUORVANE),X\n");
  WriteFile(tree_.config(), config);
  WriteFile(tree_.models(), models);
  ThrowingHost host;
  host.UseTree(tree_, {"Alpha", "Bravo", "Charlie"});
  EXPECT_THROW(OnInstall(run_, host.Request(), host), std::bad_alloc);

  // What a front end's catch does.
  const AbandonedCommand abandoned = AbandonCommand(run_, CommandStop::OutOfMemory);
  EXPECT_EQ(abandoned.outcome, InstallOutcome::CheckFailed);
  EXPECT_EQ(ReadFile(tree_.config()), config);
  EXPECT_EQ(ReadFile(tree_.models()), models);
  EXPECT_NE(std::string(abandoned.Message()).find("Quorvane ran out of memory, and the command stopped."),
            std::string::npos);
  EXPECT_NE(std::string(abandoned.Message()).find("Nothing has been changed."), std::string::npos)
      << abandoned.Message();
  EXPECT_FALSE(FileExists(tree_.config() + ".bak"));
  EXPECT_FALSE(FileExists(tree_.csl + "/texture.ALP1/csl.0af"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(tree_.dir.path())) {
    EXPECT_EQ(entry.path().string().find(".quorvane-"), std::string::npos) << entry.path().string();
  }
  // The locks are gone: the next command runs.
  ResetHost();
  EXPECT_EQ(Run(), InstallOutcome::Completed) << LastText();

  // Before anything changed there is nothing to give back.
  const AbandonedCommand early = AbandonCommand(run_, CommandStop::Error, "bad thing");
  EXPECT_EQ(early.outcome, InstallOutcome::CheckFailed);
  EXPECT_EQ(std::string(early.Message()),
            "Quorvane met an unexpected error (bad thing), and the command stopped.\n\nNothing has been changed.");
}

// The dry run's report is the check of the files as the run would leave
// them, not as they are.
TEST_F(InstallCommandTest, ADryRunChecksTheFilesItWouldLeave) {
  WriteFile(tree_.config(), Crlf("[fltsim.0]\ntitle=Mine\n[fltsim.2]\ntitle=Yours\n"));
  WriteFile(tree_.models(), Crlf("Mine,X,,Mine\nYours,X,,Yours\n"));
  const FileCheck before = CheckUserFiles(tree_.config().c_str(), tree_.models().c_str());
  ASSERT_EQ(before.problems.size(), 1u);
  EXPECT_NE(before.problems[0].find("the numbers jump"), std::string::npos);

  const Preview preview = PreviewCommand(run_, host_.Request(), host_, PreviewedCommand::Install);
  EXPECT_EQ(preview.outcome, InstallOutcome::Completed);
  EXPECT_TRUE(preview.check.problems.empty()) << preview.check.problems[0];
  EXPECT_EQ(preview.check.earlierEntries.size(), 10u) << "the run's own five sections and five model lines";
  EXPECT_NE(preview.diff.find("+[fltsim.1]\r\n+title=yours\r\n"), std::string::npos) << preview.diff;
  EXPECT_EQ(host_.LastMessage()->text.rfind(kSuccessText, 0), 0u);
  EXPECT_NE(host_.LastMessage()->text.find("1 section was renumbered"), std::string::npos);
  EXPECT_EQ(ReadFile(tree_.config()), Crlf("[fltsim.0]\ntitle=Mine\n[fltsim.2]\ntitle=Yours\n"));
}

}  // namespace
