// Runs the real quorvane-cli on temporary FS2002 and SquawkBox trees.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "TestSupport.h"

namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(SAMPLE_DIR "/fs2002", fs_, std::filesystem::copy_options::recursive);
    std::filesystem::copy(SAMPLE_DIR "/squawkbox", sb_, std::filesystem::copy_options::recursive);
    MakeFolders(dir_ / "config");
  }

  RunResult Run(const std::string& args, const std::string& stdinText = "") {
    WriteFile(dir_ / "stdin", stdinText);
    std::string command = "cd " + Quote(dir_.path()) + " && XDG_CONFIG_HOME=" + Quote(dir_ / "config") + " " +
                          Quote(QUORVANE_CLI) + " " + args + " <stdin >out 2>err";
    RunResult result;
    result.status = RunShellCommand(command);
    result.out = ReadFile(dir_ / "out");
    result.err = ReadFile(dir_ / "err");
    return result;
  }

  std::string InstallArgs() const {
    return "install --catalogue " + Quote(SAMPLE_DIR "/catalogue") + " --fs FS2002 --squawkbox SquawkBox";
  }
  std::string Config() { return ReadFile(fs_ + "/aircraft/csl/Aircraft.cfg"); }
  std::string Models() { return ReadFile(sb_ + "/CSL_ICAO.csv"); }

  TempDir dir_;
  ProfileFolder profile_{dir_ / "config"};
  std::string fs_ = dir_ / "FS2002";
  std::string sb_ = dir_ / "SquawkBox";
};

TEST_F(CliTest, ListsTheCatalogueInSectionOrder) {
  RunResult r = Run("list --catalogue " + Quote(SAMPLE_DIR "/catalogue"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "Skylark Atlantic : B737-800\nSkylark Atlantic : B767-300\nNordvik Air : A320\n"
            "Coral Coast Airways : DHC8-300\nPinecrest Regional : CRJ200\nAurora Polar : B757-200\n");
}

TEST_F(CliTest, InstallsEverythingAndASecondRunChangesNothing) {
  RunResult first = Run(InstallArgs() + " --yes");
  ASSERT_EQ(first.status, 0) << first.err;
  EXPECT_NE(first.out.find("Congratulation !!!!"), std::string::npos);
  EXPECT_NE(first.err.find("Installing Airline     Aurora Polar : B757-200\n"), std::string::npos);
  const std::string config = Config();
  const std::string models = Models();
  EXPECT_NE(config.find("[fltsim.7]\r\nTitle=~APL752\r\n"), std::string::npos);
  EXPECT_EQ(config.find("~kst146"), std::string::npos) << "the legacy section is gone";
  EXPECT_EQ(models.find("Kestrel"), std::string::npos);
  EXPECT_EQ(models.rfind("Aurora Polar (QUORVANE),B752,APL\r\n", 0), 0u) << "sorted";
  EXPECT_EQ(ReadFile(fs_ + "/aircraft/csl/texture.SKA763/csl.0af"), ReadFile(SAMPLE_DIR "/catalogue/ska763.dat"));

  RunResult second = Run(InstallArgs() + " --yes");
  ASSERT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(Config(), config);
  EXPECT_EQ(Models(), models);
}

TEST_F(CliTest, SelectsByDescriptionAndRefusesUnknownOnes) {
  RunResult r = Run(InstallArgs() + " --airline 'Nordvik Air : A320' --yes");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(Models().find("Nordvik Air (QUORVANE)"), std::string::npos);
  EXPECT_EQ(Models().find("Skylark"), std::string::npos);

  const std::string before = Models();
  r = Run(InstallArgs() + " --airline 'Nordvik Air' --yes");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("'Nordvik Air' is no airline"), std::string::npos);
  EXPECT_EQ(Models(), before);
}

TEST_F(CliTest, ConfirmationWithoutTerminalCancels) {
  const std::string config = Config();
  RunResult r = Run(InstallArgs());
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.err.find("must be closed"), std::string::npos);
  EXPECT_EQ(Config(), config);
}

TEST_F(CliTest, FailedChecksAndFailedAirlinesHaveTheirOwnStatus) {
  RunResult r = Run("install --catalogue " + Quote(SAMPLE_DIR "/catalogue") + " --fs FS2002 --squawkbox FS2002 --yes");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Invalid SquawkBox directory !"), std::string::npos);

  // Remembered folders are used when none are given.
  WriteFile(profile_ / "Quorvane.ini", "[PATH]\r\nFLUSI=" + fs_ + "\r\nSQUAWK=" + sb_ + "\r\n");
  std::filesystem::copy(SAMPLE_DIR "/catalogue", dir_ / "catalogue", std::filesystem::copy_options::recursive);
  std::filesystem::remove(dir_ / "catalogue/pcr200.dat");
  r = Run("install --catalogue catalogue --yes");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("The installation finished with errors !!"), std::string::npos);
  EXPECT_NE(r.err.find("pcr200.dat could not be copied"), std::string::npos);
  EXPECT_EQ(r.out, "");
}

TEST_F(CliTest, CheckFindsWhatAnAuthorMustFix) {
  EXPECT_EQ(Run("check --catalogue " + Quote(SAMPLE_DIR "/catalogue")).status, 0);
  MakeFolders(dir_ / "cat");
  WriteFile(dir_ / "cat/Airlines.dat",
            "[Airline.0]\nDescr=A\nSQ1=a\nTitle=t\nFolder=f\nData=there\n"
            "[Airline.1]\nTitle=no descr\n"
            "[Airline.2]\nDescr=A\nSQ1=\nTitle=t\nFolder=..\nData=missing\n"
            "[Airline.01]\nDescr=never read\n");
  WriteFile(dir_ / "cat/there.dat", "x");
  RunResult r = Run("check --catalogue cat");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("[Airline.01]: not read"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[Airline.1]: no Descr"), std::string::npos);
  EXPECT_NE(r.out.find("[Airline.2]: Descr \"A\" is also the Descr of [Airline.0]"), std::string::npos);
  EXPECT_NE(r.out.find("[Airline.2]: SQ1 is empty"), std::string::npos);
  EXPECT_NE(r.out.find("[Airline.2]: Folder \"..\" is not a plain name"), std::string::npos);
  EXPECT_NE(r.out.find("missing.dat not found"), std::string::npos);
}

TEST_F(CliTest, CheckOfTheUsersFilesExitsOneOnlyForProblems) {
  RunResult r = Run("check --fs FS2002 --squawkbox SquawkBox");
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Nothing in these files keeps an aircraft from being seen."), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Aircraft.cfg line 9: [fltsim.1] and its lines"), std::string::npos) << "the legacy section";
  // The install takes the legacy section [fltsim.1] out: the sections after
  // it are renumbered, so that the numbers neither leave a gap nor repeat,
  // and check finds nothing.
  RunResult install = Run(InstallArgs() + " --yes");
  ASSERT_EQ(install.status, 0) << install.err;
  EXPECT_NE(install.out.find("Aircraft.cfg: 1 section was renumbered"), std::string::npos) << install.out;
  const std::string config = Config();
  EXPECT_NE(config.find("\r\n[fltsim.1]\r\ntitle=generic a320\r\n"), std::string::npos) << config;
  r = Run("check --fs FS2002 --squawkbox SquawkBox");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out.find("repeats the number of line"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("the numbers jump"), std::string::npos) << r.out;
  EXPECT_EQ(Config(), config);
  // A hand edit that repeats a number is named.
  WriteFile(fs_ + "/aircraft/csl/Aircraft.cfg", config + "\r\n[fltsim.2]\r\ntitle=Mine\r\n");
  r = Run("check --fs FS2002 --squawkbox SquawkBox");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("repeats the number of line"), std::string::npos) << r.out;
  r = Run("check --fs nowhere --squawkbox SquawkBox");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Invalid FS 2002 directory"), std::string::npos) << r.err;
  // A dry run ends with the same look at the files as it would leave them:
  // the repeat is gone, the section without a model line is named.
  r = Run(InstallArgs() + " --dry-run");
  EXPECT_NE(r.out.find("as this run would leave them:\nAircraft.cfg line"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("names [fltsim.2] (title \"mine\")"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("repeats the number"), std::string::npos) << r.out;
}

TEST_F(CliTest, AnEmptyCatalogueSaysWhyAndEveryFailureIsListed) {
  MakeFolders(dir_ / "none");
  RunResult r = Run("list --catalogue none");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Airlines.dat was not found: the airline list stays empty"), std::string::npos) << r.err;
  r = Run("install --catalogue none --fs FS2002 --squawkbox SquawkBox --yes");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("was not found"), std::string::npos) << r.err;

  // 25 airlines without their texture: a terminal lists all 25 failures.
  MakeFolders(dir_ / "many");
  std::string catalogue;
  for (int i = 0; i < 25; ++i) {
    const std::string n = std::to_string(i);
    catalogue += "[Airline." + n + "]\nDescr=A" + n + "\nSQ1=A" + n + " (QUORVANE),X\nTitle=~A" + n + "\nFolder=F" + n +
                 "\nData=d" + n + "\n";
  }
  WriteFile(dir_ / "many/Airlines.dat", catalogue);
  r = Run("install --catalogue many --fs FS2002 --squawkbox SquawkBox --yes");
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.err.find("\"A24\": "), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("more"), std::string::npos) << r.err;
}

TEST_F(CliTest, UsageErrorsExitTwo) {
  EXPECT_EQ(Run("").status, 2);
  EXPECT_EQ(Run("install --bogus").status, 2);
  RunResult help = Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
}

}  // namespace
