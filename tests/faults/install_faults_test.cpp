// A full Install run with the Nth file operation failing, for every N the
// run has, and with files and folders that may not be changed: the user's
// files are never left half-written, and success is claimed only when
// everything was done.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "FaultInjection.h"
#include "InstallCommand.h"
#include "InstallContext.h"
#include "Messages.h"
#include "RemovalPass.h"
#include "RunReport.h"
#include "TestSupport.h"
#include "Text.h"

namespace {

struct Airline {
  int section;
  const char* descr;
  const char* code;
};

// Bravo is listed twice: its second install finds the section its first
// one appended, and only copies the texture again. Delta is not selected.
const Airline kAirlines[] = {
    {0, "Alpha", "ALP1"}, {1, "Bravo", "BRV2"}, {2, "Charlie", "CHL3"}, {3, "Delta", "DLT4"}, {4, "Echo", "ECH5"},
};
const std::vector<std::string> kEntries = {"Alpha", "Bravo", "Charlie", "Bravo", "Delta", "Echo"};
const std::vector<bool> kSelected = {true, true, true, true, false, true};
const char* const kInstalled[] = {"ALP1", "BRV2", "CHL3", "ECH5"};

// A configuration file with foreign sections, a section of an earlier
// release (known by its legacy title) and one an earlier run marked.
const char kConfigBefore[] =
    "[General]\r\n"
    "Version=2\r\n"
    "\r\n"
    "[fltsim.0]\r\n"
    "Title=Generic B737-800\r\n"
    "Sim=b737\r\n"
    "Model=\r\n"
    "Texture=generic\r\n"
    "\r\n"
    "[fltsim.1]\r\n"
    "title=~KST146\r\n"
    "sim=bae146\r\n"
    "model=\r\n"
    "panel=\r\n"
    "sound=\r\n"
    "texture=KST146\r\n"
    "checklists=\r\n"
    "\r\n"
    "[fltsim.2]\r\n"
    "Title=~ALP1\r\n"
    "Sim=simALP1\r\n"
    "Model=mdlALP1\r\n"
    "Texture=ALP1\r\n"
    "quorvane=Alpha (QUORVANE),ALP1\r\n"
    "checklists=\r\n"
    "\r\n"
    "[fltsim.3]\r\n"
    "Title=Generic A320\r\n"
    "Sim=a320\r\n";

// Foreign lines, a legacy line and lines an earlier run marked.
const char kModelsBefore[] =
    "Generic : B737-800,B738,,Generic B737-800\r\n"
    "Kestrel Airways : BAe146,B461,KST,~KST146\r\n"
    "Alpha (QUORVANE),ALP1\r\n"
    "Generic : A320,A320,,Generic A320\r\n"
    "Old Airline (quorvane),OLD9\r\n";

std::string Texture(const std::string& code) { return "texture of " + code; }

// The section InstallAirline appends for an airline, without its header.
std::string SectionBody(const Airline& a) {
  const std::string code = a.code;
  return Crlf("Title=~" + code + "\nSim=sim" + code + "\nModel=mdl" + code + "\nPanel=\nSound=\nTexture=" + code +
              "\nquorvane=" + a.descr + " (QUORVANE)," + code + "\nchecklists=\n\n");
}

std::string ModelLine(const Airline& a) { return Crlf(std::string(a.descr) + " (QUORVANE)," + a.code + "\n"); }

bool Sorted(const std::vector<std::string>& lines) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (Folded(lines[i - 1] + "\n") > Folded(lines[i] + "\n")) return false;
  }
  return true;
}

// Whether `rest` is a run of whole appended sections, each of an installed
// airline and each at most once.
bool WholeSections(std::string rest) {
  std::map<std::string, bool> used;
  while (!rest.empty()) {
    if (rest.compare(0, 8, "[fltsim.") != 0) return false;
    std::size_t close = rest.find("]\r\n");
    if (close == std::string::npos || close == 8) return false;
    for (std::size_t i = 8; i < close; ++i) {
      if (rest[i] < '0' || rest[i] > '9') return false;
    }
    rest.erase(0, close + 3);
    bool found = false;
    for (const Airline& a : kAirlines) {
      const std::string body = SectionBody(a);
      if (rest.compare(0, body.size(), body) != 0) continue;
      if (used[a.code]) return false;
      used[a.code] = found = true;
      rest.erase(0, body.size());
      break;
    }
    if (!found) return false;
  }
  return true;
}

// Configuration file: as before, or as the removal pass leaves it, each
// possibly followed by whole appended sections (a complete run is the
// second with all of them).
bool AcceptableConfig(const std::string& config, const std::string& afterPass) {
  for (const std::string& start : {std::string(kConfigBefore), afterPass}) {
    if (config.compare(0, start.size(), start) == 0 && WholeSections(config.substr(start.size()))) return true;
  }
  return false;
}

// Model list: as before or as the removal pass leaves it, either followed
// by whole appended lines or, once sorted again, holding those lines in
// ascending order. Every appended line comes at most once.
bool AcceptableModels(const std::string& models, const std::string& afterPass) {
  for (const std::string& start : {std::string(kModelsBefore), afterPass}) {
    const std::vector<std::string> base = SplitLines(start, "\r\n");
    const std::vector<std::string> lines = SplitLines(models, "\r\n");
    if (models.size() >= 2 && models.compare(models.size() - 2, 2, "\r\n") != 0) continue;

    std::map<std::string, int> extra;
    for (const std::string& line : lines) ++extra[line];
    bool contains = true;
    for (const std::string& line : base) contains = contains && extra[line]-- > 0;
    if (!contains) continue;
    bool onlyAppendedLines = true;
    for (const auto& [line, count] : extra) {
      if (count == 0) continue;
      bool appended = false;
      for (const Airline& a : kAirlines) appended = appended || line + "\r\n" == ModelLine(a);
      onlyAppendedLines = onlyAppendedLines && appended && count == 1;
    }
    if (!onlyAppendedLines) continue;
    if (models.compare(0, start.size(), start) == 0 || Sorted(lines)) return true;
  }
  return false;
}

std::vector<std::string> FilesEndingIn(const std::string& folder, const std::string& suffix) {
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().string();
    if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      found.push_back(name);
    }
  }
  return found;
}

class InstallUnderFaults : public ::testing::Test {
 protected:
  // A fresh realistic tree; the host answers OK and selects the airlines.
  struct Setup {
    InstallTree tree;
    FakeHost host;
    Setup() {
      for (const Airline& a : kAirlines) tree.AddAirline(a.section, a.descr, a.code);
      WriteFile(tree.config(), kConfigBefore);
      WriteFile(tree.models(), kModelsBefore);
      host.fsFolder = tree.fs;
      host.squawkBoxFolder = tree.squawkBox;
      host.entries = kEntries;
      host.selected = kSelected;
    }
    std::string Config() const { return ReadFile(tree.config()); }
    std::string Models() const { return ReadFile(tree.models()); }
    bool TexturesComplete() const {
      for (const char* code : kInstalled) {
        if (ReadFile(tree.csl + "/texture." + code + "/csl.0af") != Texture(code)) return false;
      }
      return true;
    }
  };

  // The files as a complete run leaves them, and as the removal pass alone
  // leaves them, each from a fault-free run on its own tree.
  void SetUp() override {
    {
      Setup complete;
      plat::FailNthOperation(0);
      ASSERT_EQ(OnInstall(complete.host), InstallOutcome::Completed);
      operations_ = plat::OperationCount();
      completeConfig_ = complete.Config();
      completeModels_ = complete.Models();
      ASSERT_TRUE(complete.TexturesComplete());
    }
    {
      Setup pass;
      CopyText(CurrentInstall.squawkBoxFolder, pass.tree.squawkBox.c_str());
      CopyText(CurrentInstall.configPath, pass.tree.config().c_str());
      CopyText(CurrentInstall.modelListPath, pass.tree.models().c_str());
      RunReport report;
      ASSERT_FALSE(RemoveEarlierEntries(pass.host, report).refused);
      ASSERT_FALSE(report.HasFailures());
      passConfig_ = pass.Config();
      passModels_ = pass.Models();
    }
    // The walk below relies on these differing from the originals.
    ASSERT_NE(passConfig_, kConfigBefore);
    ASSERT_NE(passModels_, kModelsBefore);
  }

  EngineStateGuard state_;
  long operations_ = 0;
  std::string completeConfig_, completeModels_, passConfig_, passModels_;
};

TEST_F(InstallUnderFaults, EveryFailingOperationLeavesWholeFilesAndAnHonestMessage) {
  ASSERT_GT(operations_, 20) << "the fault-free run counted too few operations";
  int completedDespiteFault = 0;
  for (long n = 1; n <= operations_ + 1; ++n) {
    SCOPED_TRACE("operation " + std::to_string(n) + " of " + std::to_string(operations_) + " fails");
    Setup run;
    plat::FailNthOperation(n);
    const InstallOutcome outcome = OnInstall(run.host);
    const bool fired = plat::InjectedFaultFired();
    plat::FailNthOperation(0);
    EXPECT_EQ(fired, n <= operations_);

    const std::string config = run.Config();
    const std::string models = run.Models();
    EXPECT_TRUE(AcceptableConfig(config, passConfig_)) << config;
    EXPECT_TRUE(AcceptableModels(models, passModels_)) << models;
    EXPECT_EQ(FilesEndingIn(run.tree.dir.path(), ".tmp"), std::vector<std::string>{});
    for (const std::string& backup : FilesEndingIn(run.tree.dir.path(), ".bak")) {
      const std::string original = backup.find("CSL_ICAO") != std::string::npos ? kModelsBefore : kConfigBefore;
      EXPECT_EQ(ReadFile(backup), original) << backup;
    }

    ASSERT_NE(run.host.LastMessage(), nullptr);
    const FakeHost::Message& last = *run.host.LastMessage();
    switch (outcome) {
      case InstallOutcome::Completed:
        EXPECT_EQ(config, completeConfig_);
        EXPECT_EQ(models, completeModels_);
        EXPECT_TRUE(run.TexturesComplete());
        EXPECT_EQ(last.kind, MessageKind::Success);
        EXPECT_EQ(last.text, kSuccessText);
        if (fired) ++completedDespiteFault;
        break;
      case InstallOutcome::CheckFailed:
        EXPECT_EQ(config, kConfigBefore);
        EXPECT_EQ(models, kModelsBefore);
        EXPECT_EQ(last.kind, MessageKind::Failure);
        EXPECT_FALSE(last.text.empty());
        break;
      case InstallOutcome::CompletedWithFailures:
        EXPECT_EQ(last.kind, MessageKind::Failure);
        EXPECT_EQ(last.text.rfind(kFinishedWithErrorsText, 0), 0u) << last.text;
        EXPECT_NE(last.text.find("\n- "), std::string::npos) << "no failure is listed:\n" << last.text;
        break;
      case InstallOutcome::Cancelled:
        ADD_FAILURE() << "cancelled although the host said OK";
        break;
    }
    if (::testing::Test::HasFailure()) break;  // one broken step tells enough
  }
  // A failed close of a file that was only read changes nothing; such
  // faults may pass unnoticed, but not many.
  EXPECT_LT(completedDespiteFault, operations_ / 2);
}

class InstallIntoProtectedFiles : public InstallUnderFaults {};

TEST_F(InstallIntoProtectedFiles, ReadOnlyConfigurationStaysAsItWas) {
  Setup run;
  ASSERT_EQ(chmod(run.tree.config().c_str(), 0444), 0);
  EXPECT_EQ(OnInstall(run.host), InstallOutcome::CompletedWithFailures);
  EXPECT_EQ(run.Config(), kConfigBefore);
  // No section could be added, so no model line or texture either; only
  // Alpha, whose earlier section is still there, gets its texture again.
  EXPECT_EQ(run.Models(), passModels_);
  EXPECT_FALSE(FileExists(run.tree.csl + "/texture.CHL3"));
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.ALP1/csl.0af"), Texture("ALP1"));
  const std::string text = run.host.LastMessage()->text;
  EXPECT_NE(text.find(run.tree.fs + "\\aircraft\\csl\\Aircraft.cfg could not be written"), std::string::npos) << text;
  EXPECT_EQ(FilesEndingIn(run.tree.dir.path(), ".tmp"), std::vector<std::string>{});
}

TEST_F(InstallIntoProtectedFiles, ReadOnlySquawkBoxFolderKeepsTheModelList) {
  if (!ReadOnlyFoldersAreEnforced()) GTEST_SKIP() << "Windows does not enforce a read-only folder";
  Setup run;
  ASSERT_EQ(chmod(run.tree.squawkBox.c_str(), 0555), 0);
  EXPECT_EQ(OnInstall(run.host), InstallOutcome::CompletedWithFailures);
  EXPECT_EQ(run.Models(), kModelsBefore);
  EXPECT_EQ(run.Config(), completeConfig_);
  EXPECT_EQ(FilesEndingIn(run.tree.dir.path(), ".tmp"), std::vector<std::string>{});
  const std::string text = run.host.LastMessage()->text;
  EXPECT_NE(text.find("CSL_ICAO.csv could not be backed up"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Alpha\": the model line could not be added"), std::string::npos) << text;
}

TEST_F(InstallIntoProtectedFiles, MissingTextureSourceIsReportedAndTheRestInstalled) {
  Setup run;
  ASSERT_EQ(std::remove((run.tree.catalogue + "/CHL3.dat").c_str()), 0);
  EXPECT_EQ(OnInstall(run.host), InstallOutcome::CompletedWithFailures);
  EXPECT_EQ(run.Config(), completeConfig_);
  EXPECT_EQ(run.Models(), completeModels_);
  EXPECT_FALSE(FileExists(run.tree.csl + "/texture.CHL3/csl.0af"));
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.ECH5/csl.0af"), Texture("ECH5"));
  const std::string text = run.host.LastMessage()->text;
  EXPECT_NE(text.find("\"Charlie\": "), std::string::npos) << text;
  EXPECT_NE(text.find("CHL3.dat could not be copied"), std::string::npos) << text;
}

TEST_F(InstallIntoProtectedFiles, TextureTargetThatIsAFolderIsLeftAlone) {
  Setup run;
  MakeFolders(run.tree.csl + "/texture.ALP1/csl.0af");
  WriteFile(run.tree.csl + "/texture.ALP1/csl.0af/inside", "keep");
  EXPECT_EQ(OnInstall(run.host), InstallOutcome::CompletedWithFailures);
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.ALP1/csl.0af/inside"), "keep");
  EXPECT_EQ(run.Config(), completeConfig_);
  EXPECT_EQ(run.Models(), completeModels_);
  EXPECT_EQ(ReadFile(run.tree.csl + "/texture.BRV2/csl.0af"), Texture("BRV2"));
  const std::string text = run.host.LastMessage()->text;
  EXPECT_NE(text.find("\"Alpha\": "), std::string::npos) << text;
  EXPECT_NE(text.find("csl.0af"), std::string::npos) << text;
}

}  // namespace
