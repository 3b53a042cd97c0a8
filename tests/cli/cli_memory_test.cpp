// The largest files taken, in the shape that costs the most memory for
// their size (nothing but line ends: millions of lines), through the real
// quorvane-cli with its address space capped as a 32-bit process's is:
// every command works within a third of the 2 GB such a process has; with
// far too little memory a command ends with a message and changes nothing;
// a file past the limit is refused.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "text/LineTable.h"
#include "TestSupport.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
#define QV_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_UNDER_ASAN 1
#endif
#endif

// The cap of the commands that must succeed: a third of a 32-bit
// process's 2 GB, so that the rest stays free.
constexpr long kCapKiB = 2048 * 1024 / 3;
// A cap far below what the files need.
constexpr long kStarvedKiB = 60 * 1024;

class MemoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    GTEST_SKIP() << "ulimit is a tool of the Linux side";
#elif defined(QV_UNDER_ASAN)
    GTEST_SKIP() << "AddressSanitizer reserves far more address space than any cap allows";
#endif
    std::filesystem::copy(SAMPLE_DIR "/fs2002", dir_ / "FS2002", std::filesystem::copy_options::recursive);
    std::filesystem::copy(SAMPLE_DIR "/squawkbox", dir_ / "SquawkBox", std::filesystem::copy_options::recursive);
  }

  // Runs quorvane-cli with its address space capped at capKiB.
  int Run(long capKiB, const std::string& args) {
    const std::string command = "cd '" + dir_.path() + "' && ulimit -v " + std::to_string(capKiB) +
                                " && XDG_CONFIG_HOME=config '" QUORVANE_CLI "' " + args +
                                " --fs FS2002 --squawkbox SquawkBox </dev/null >out 2>err";
    return RunShellCommand(command);
  }
  std::string Install() { return "install --catalogue '" SAMPLE_DIR "/catalogue'"; }
  std::string Config() const { return dir_ / "FS2002/aircraft/csl/Aircraft.cfg"; }
  std::string Models() const { return dir_ / "SquawkBox/CSL_ICAO.csv"; }
  std::string Err() { return ReadFile(dir_ / "err"); }

  TempDir dir_;
};

// Lines of a CR LF alone, as many as a file of `bytes` holds.
std::string LineEnds(std::size_t bytes) {
  std::string text;
  text.reserve(bytes);
  for (std::size_t i = 0; i + 2 <= bytes; i += 2) text += "\r\n";
  return text;
}

TEST_F(MemoryTest, TheLargestFilesOfTheMostLinesFitWithRoomToSpare) {
  // Both files at the limit (the model list leaves room for the six
  // lines the install adds), in lines of a line end alone.
  const std::size_t limit = static_cast<std::size_t>(engine::kLargestTextFile);
  const std::string sampleConfig = ReadFile(Config());
  const std::string sampleModels = ReadFile(Models());
  WriteFile(Config(), sampleConfig + LineEnds(limit - sampleConfig.size()));
  WriteFile(Models(), sampleModels + LineEnds(limit - 4096 - sampleModels.size()));

  EXPECT_EQ(Run(kCapKiB, Install() + " --dry-run"), 0) << Err();
  EXPECT_NE(ReadFile(dir_ / "out").find("as this run would leave them:"), std::string::npos);
  EXPECT_EQ(Run(kCapKiB, Install() + " --yes"), 0) << Err();
  const std::string config = ReadFile(Config());
  EXPECT_NE(config.find("\r\n[fltsim.1]\r\ntitle=generic a320\r\n"), std::string::npos);
  EXPECT_NE(config.find("\r\n[fltsim.7]\r\nTitle=~APL752\r\n"), std::string::npos);
  EXPECT_EQ(Run(kCapKiB, "check"), 0) << ReadFile(dir_ / "out") << Err();
  EXPECT_EQ(Run(kCapKiB, "remove --yes"), 0) << Err();
  EXPECT_EQ(Run(kCapKiB, "restore --yes"), 0) << Err();
  EXPECT_TRUE(ReadFile(Config()) == config) << "the file the install left is back";
}

TEST_F(MemoryTest, TooLittleMemoryEndsTheCommandWithNothingChanged) {
  const std::size_t limit = static_cast<std::size_t>(engine::kLargestTextFile);
  const std::string config = LineEnds(limit);
  const std::string models = LineEnds(limit / 2);
  WriteFile(Config(), config);
  WriteFile(Models(), models);
  for (const std::string& args : {Install() + " --yes", Install() + " --dry-run", std::string("remove --yes")}) {
    EXPECT_EQ(Run(kStarvedKiB, args), 1) << args << ": " << Err();
    EXPECT_NE(Err().find("Quorvane ran out of memory, and the command stopped.\n\nNothing has been changed."),
              std::string::npos)
        << args << ": " << Err();
    EXPECT_TRUE(ReadFile(Config()) == config) << args;
    EXPECT_TRUE(ReadFile(Models()) == models) << args;
    EXPECT_FALSE(FileExists(Config() + ".bak")) << args;
  }
}

// The limit counts the file as it is written back: a line feed alone is
// a CR LF there.
TEST_F(MemoryTest, AFileOverTheLimitIsRefused) {
  const std::size_t limit = static_cast<std::size_t>(engine::kLargestTextFile);
  for (const std::string& config : {LineEnds(limit + 2), std::string(limit / 2 + 1, '\n')}) {
    WriteFile(Config(), config);
    EXPECT_EQ(Run(kCapKiB, Install() + " --yes"), 1);
    EXPECT_NE(Err().find("It holds more than 17 MiB with each line end as CR LF."), std::string::npos) << Err();
    EXPECT_TRUE(ReadFile(Config()) == config);
    EXPECT_EQ(Run(kCapKiB, "check"), 1);
    EXPECT_NE(ReadFile(dir_ / "out").find("Aircraft.cfg: an install refuses this file: it holds more than 17 MiB"),
              std::string::npos)
        << ReadFile(dir_ / "out");
  }
}

}  // namespace
