#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "commands/CommandSteps.h"
#include "commands/RunSteps.h"
#include "install/AirlineInstall.h"
#include "install/Folders.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "text/Text.h"
#include "TestSupport.h"

using namespace engine;

namespace {

class InstallAirlineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.AddAirline(0, "Quorvane Air", "QVA738");
    tree_.UsePaths(run_);
  }
  void Install(const char* description = "Quorvane Air") { InstallAirline(run_, description); }
  const RunReport& Report() const { return run_.report; }
  std::string Config() { return ReadFile(tree_.config()); }
  std::string Texture() { return ReadFile(tree_.csl + "/texture.QVA738/csl.0af"); }

  static std::string Section(int number) {
    return Crlf("[fltsim." + std::to_string(number) +
                "]\nTitle=~QVA738\nSim=simQVA738\nModel=mdlQVA738\nPanel=\nSound=\nTexture=QVA738\n"
                "quorvane=Quorvane Air (QUORVANE),QVA738\nchecklists=\n\n");
  }

  InstallTree tree_;
  InstallRun run_;
};

TEST_F(InstallAirlineTest, AppendsSectionModelLineAndTexture) {
  WriteFile(tree_.models(), "Other,X\r\n");
  Install();
  EXPECT_EQ(Config(), Section(0));
  EXPECT_EQ(ReadFile(tree_.models()), "Other,X\r\nQuorvane Air (QUORVANE),QVA738\r\n");
  EXPECT_EQ(Texture(), "texture of QVA738");
  EXPECT_FALSE(Report().HasFailures());
}

// The simulator reads [fltsim.0] upward and stops at the first missing
// number: a new section takes the smallest number no section holds, so
// that a whole file stays whole and a gap is filled.
TEST_F(InstallAirlineTest, SectionNumberIsTheSmallestFreeNumber) {
  for (const auto& [existing, number] : std::vector<std::pair<std::string, int>>{
           {"[fltsim.0]\ntitle=a\n[fltsim.1]\ntitle=b\n[fltsim.7]\ntitle=c\n", 2},
           {"[fltsim.2]\ntitle=a\n[fltsim.1]\ntitle=b\n[fltsim.0]\ntitle=c\n", 3},
           {"[FLTSIM.0]\ntitle=a\n  [fltsim.1] ; mine\ntitle=b\n[fltsim.x]\ntitle=c\n[fltsim.02]\ntitle=d\n", 2},
           {"[fltsim.1]\ntitle=a\n", 0}}) {
    WriteFile(tree_.config(), Crlf(existing));
    Install();
    EXPECT_EQ(Config(), Crlf(existing) + Section(number)) << existing;
  }
}

TEST_F(InstallAirlineTest, TitleMatchSkipsTheFirstSixCharactersUntested) {
  for (const char* titleLine : {"Title=~QVA738", "title=~QVA738", "XXXXXX~QVA738"}) {
    std::string existing = Crlf(std::string("[fltsim.0]\n") + titleLine + "\n");
    WriteFile(tree_.config(), existing);
    WriteFile(tree_.models(), "");
    Install();
    EXPECT_EQ(Config(), existing) << titleLine;
    EXPECT_EQ(ReadFile(tree_.models()), "") << titleLine;
    EXPECT_EQ(Texture(), "texture of QVA738") << "the texture is copied again";
  }
  for (const char* titleLine : {"Title = ~QVA738", "title=~qva738"}) {
    std::string existing = Crlf(std::string("[fltsim.0]\n") + titleLine + "\n");
    WriteFile(tree_.config(), existing);
    Install();
    EXPECT_EQ(Config(), existing + Section(1)) << titleLine;
  }
}

TEST_F(InstallAirlineTest, UnterminatedLastLineGetsALineBreakBeforeTheHeader) {
  // The title line is the last line without a line feed: its last real
  // character is lost before the comparison, so it does not match.
  WriteFile(tree_.config(), "[fltsim.0]\r\nTitle=~QVA738");
  Install();
  EXPECT_EQ(Config(), "[fltsim.0]\r\nTitle=~QVA738\r\n" + Section(1));
  WriteFile(tree_.models(), "Last,line");
  WriteFile(tree_.config(), "");
  Install();
  EXPECT_EQ(ReadFile(tree_.models()), "Last,line\r\nQuorvane Air (QUORVANE),QVA738\r\n");
}

TEST_F(InstallAirlineTest, LongLinesAreReadInPiecesAndTheScanStopsAfterTenThousand) {
  // The second 1999-character piece of a long line begins with the header:
  // the scan takes it for one, but the line is no section of the file.
  WriteFile(tree_.config(), std::string(1999, 'x') + "[fltsim.9]\nTitle=~QVA738\n");
  Install();
  EXPECT_EQ(Config(), std::string(1999, 'x') + "[fltsim.9]\nTitle=~QVA738\n")
      << "the title line after the piece matches";
  WriteFile(tree_.config(), std::string(1999, 'x') + "[fltsim.9]\nTitle=z\n");
  Install();
  EXPECT_EQ(Config().substr(Config().size() - Section(0).size()), Section(0));

  std::string many;
  for (int i = 0; i < 10000; ++i) many += "k=v\n";
  WriteFile(tree_.config(), many + "[fltsim.0]\nTitle=~QVA738\n");
  Install();
  EXPECT_EQ(Config().substr(Config().size() - Section(1).size()), Section(1))
      << "a header past the 10000th line is not compared, but its number is taken";
}

TEST_F(InstallAirlineTest, SameAirlineTwiceInOneRunIsAppendedOnce) {
  Install();
  Install();
  EXPECT_EQ(Config(), Section(0));
  EXPECT_EQ(ReadFile(tree_.models()), "Quorvane Air (QUORVANE),QVA738\r\n");
}

TEST_F(InstallAirlineTest, EmptySq1LeavesTheModelListAlone) {
  tree_.catalogueText = "[Airline.0]\nDescr=NoSq\nFolder=NS\nData=NS\nTitle=~NS\n";
  tree_.WriteCatalogue();
  WriteFile(tree_.catalogue + "/NS.dat", "ns");
  Install("NoSq");
  EXPECT_NE(Config().find("quorvane=\r\nchecklists=\r\n"), std::string::npos);
  EXPECT_EQ(ReadFile(tree_.models()), "");
  EXPECT_FALSE(Report().HasFailures());
}

TEST_F(InstallAirlineTest, AirlinesThatCannotBeInstalledSoundlyChangeNothing) {
  const std::string longValue(50, 'v');
  tree_.catalogueText =
      "[Airline.1]\nDescr=Long\nTitle=" + longValue + "\nFolder=L\nData=L\n"
      "[Airline.2]\nDescr=Up\nTitle=t\nFolder=..\nData=L\n"
      "[Airline.3]\nDescr=Sep\nTitle=t\nFolder=a\\b\nData=L\n"
      "[Airline.4]\nDescr=Drive\nTitle=t\nFolder=F\nData=C:x\n"
      "[Airline.5]\nDescr=Slash\nTitle=t\nFolder=F\nData=../../etc/passwd\n"
      "[Airline.6]\nDescr=Path\nTitle=t\nFolder=" + std::string(49, 'p') + "\nData=L\n";
  tree_.WriteCatalogue();
  CopyText(run_.context.fsFolder, (tree_.fs + "/" + std::string(120, 'f')).c_str());
  for (const char* description : {"Long", "Up", "Sep", "Drive", "Slash", "Path", "Unknown"}) {
    Install(description);
  }
  EXPECT_EQ(Config(), "");
  EXPECT_EQ(ReadFile(tree_.models()), "");
  ASSERT_EQ(Report().Failures().size(), 7u);
  EXPECT_NE(Report().Failures()[0].find("Title value in Airlines.dat is longer than 49"), std::string::npos);
  EXPECT_NE(Report().Failures()[1].find("Folder value \"..\""), std::string::npos);
  EXPECT_NE(Report().Failures()[5].find("texture path is too long"), std::string::npos);
  EXPECT_NE(Report().Failures()[6].find("not found in Airlines.dat"), std::string::npos);
}

TEST_F(InstallAirlineTest, FailuresOfFilesAreReported) {
  std::remove((tree_.catalogue + "/QVA738.dat").c_str());
  Install();
  ASSERT_EQ(Report().Failures().size(), 1u);
  EXPECT_NE(Report().Failures()[0].find("could not be copied"), std::string::npos);
  EXPECT_EQ(Config(), Section(0)) << "entries written before the copy stay";

  run_.report = RunReport();
  const RunReport& second = run_.report;
  WriteFile(tree_.config(), "");
  chmod(tree_.config().c_str(), 0444);
  InstallAirline(run_, "Quorvane Air");
  ASSERT_EQ(second.Failures().size(), 1u);
  EXPECT_NE(second.Failures()[0].find("could not be written"), std::string::npos);
  EXPECT_EQ(ReadFile(tree_.models()), "Quorvane Air (QUORVANE),QVA738\r\n") << "no model line without its section";
}

TEST(EnsureFolderPath, CreatesOnlyWhatIsMissing) {
  TempDir dir;
  MakeFolders(dir / "FS/aircraft/csl");
  std::string target = dir.path() + "\\FS\\aircraft\\csl\\texture.ABC\\deeper\\";
  EXPECT_TRUE(EnsureFolderPath(target.c_str()));
  EXPECT_TRUE(FileExists(dir / "FS/aircraft/csl/texture.ABC/deeper"));
  int asked = 0;
  const auto declines = [&asked](const char*) { return ++asked, false; };
  EXPECT_TRUE(EnsureFolderPath(target.c_str(), declines));
  EXPECT_EQ(asked, 0) << "nothing is asked of a folder that is there";

  FakeHost host;
  host.askAnswer = Answer::No;
  std::string declined = dir.path() + "\\declined";
  const FolderPathResult result = EnsureFolderPath(declined.c_str(), AskToCreateFolder(host));
  EXPECT_FALSE(result);
  EXPECT_EQ(result.notMade, "");
  EXPECT_FALSE(FileExists(dir / "declined"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].kind, MessageKind::AskCreateFolder);
  EXPECT_EQ(host.messages[0].text, "Der angegebene Pfad existiert nicht !\n\nSoll er angelegt werden ?");
  EXPECT_EQ(host.messages[0].caption, declined);
  host.askAnswer = Answer::Yes;
  EXPECT_TRUE(EnsureFolderPath(declined.c_str(), AskToCreateFolder(host)));
  EXPECT_TRUE(FileExists(dir / "declined"));

  WriteFile(dir / "file", "");
  const FolderPathResult underFile = EnsureFolderPath((dir.path() + "\\file\\sub").c_str());
  EXPECT_FALSE(underFile);
  EXPECT_EQ(underFile.notMade, dir.path() + "\\file\\sub");

  // Of several missing folders, the first that cannot be made is named.
  if (!ReadOnlyFoldersAreEnforced()) GTEST_SKIP() << "Windows does not enforce a read-only folder";
  MakeFolders(dir / "locked");
  chmod((dir / "locked").c_str(), 0555);
  const FolderPathResult locked = EnsureFolderPath((dir.path() + "\\locked\\a\\b").c_str());
  EXPECT_FALSE(locked);
  EXPECT_EQ(locked.notMade, dir.path() + "\\locked\\a");
  EXPECT_FALSE(locked.failure) << "the system's reason comes with it";
  EXPECT_FALSE(FileExists(dir / "locked/a"));
  chmod((dir / "locked").c_str(), 0755);
}

}  // namespace
