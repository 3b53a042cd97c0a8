// A run keeps the catalogue's parse and the configuration file's title
// index between airlines. These tests change both files between two
// airlines, as another program could, and check that the next airline
// sees the change.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "TestSupport.h"

using namespace engine;

namespace {

// A host that runs `between` once the first airline is installed.
class EditingHost : public FakeHost {
 public:
  std::function<void()> between;
  void SetProgressPos(ProgressBar bar, int pos) override {
    FakeHost::SetProgressPos(bar, pos);
    if (bar == ProgressBar::Overall && pos == 2 && between) between();
  }
};

struct TwoAirlines {
  InstallTree tree;
  InstallRun run;
  EditingHost host;

  TwoAirlines() {
    tree.AddAirline(0, "Alpha", "ALP1");
    tree.AddAirline(1, "Bravo", "BRV2");
    tree.UseCatalogue(run);
    host.UseTree(tree, {"Alpha", "Bravo"});
  }
  InstallOutcome Install() { return OnInstall(run, host.Request(), host); }
  // Rewrites the catalogue with Bravo's keys changed, its size kept.
  void EditBravo(bool keepModificationTime) {
    const std::string path = tree.catalogue + "/Airlines.dat";
    const auto modified = std::filesystem::last_write_time(path);
    std::string text = ReadFile(path);
    for (const char* key : {"SQ1=Bravo (QUORVANE),BRV2", "Title=~BRV2", "Folder=BRV2", "Data=BRV2"}) {
      const std::size_t at = text.find(key);
      ASSERT_NE(at, std::string::npos) << key;
      text[at + std::string(key).size() - 2] = 'X';  // BRV2 -> BRX2
    }
    WriteFile(path, text);
    WriteFile(tree.catalogue + "/BRX2.dat", "texture of BRX2");
    if (keepModificationTime) std::filesystem::last_write_time(path, modified);
  }
};

TEST(KeptFilesTest, CatalogueEditedBetweenTwoAirlinesKeepingItsSizeIsSeen) {
  struct Case {
    const char* what;
    bool keepModificationTime;
  };
  std::vector<Case> cases = {{"edited", false}};
#ifndef _WIN32
  // Windows keeps no change time a program cannot set; elsewhere the
  // change time tells of the edit.
  cases.push_back({"edited, its modification time put back", true});
#endif
  std::vector<std::unique_ptr<TwoAirlines>> runs;
  for (std::size_t i = 0; i < cases.size(); ++i) runs.push_back(std::make_unique<TwoAirlines>());
  // A catalogue written in the last two seconds is never kept; these are
  // older, as a user's catalogue is.
  std::this_thread::sleep_for(std::chrono::milliseconds(2100));

  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    TwoAirlines& t = *runs[i];
    t.host.between = [&t, &c = cases[i]] { t.EditBravo(c.keepModificationTime); };
    ASSERT_EQ(t.Install(), InstallOutcome::Completed);
    EXPECT_EQ(t.host.LastMessage()->text, kSuccessText);
    EXPECT_EQ(ReadFile(t.tree.models()), "Alpha (QUORVANE),ALP1\r\nBravo (QUORVANE),BRX2\r\n");
    const std::string config = ReadFile(t.tree.config());
    EXPECT_NE(config.find("Title=~BRX2\r\n"), std::string::npos) << config;
    EXPECT_NE(config.find("Texture=BRX2\r\n"), std::string::npos) << config;
    EXPECT_EQ(ReadFile(t.tree.csl + kSeparator + "texture.BRX2" + kSeparator + "csl.0af"), "texture of BRX2");
    EXPECT_FALSE(std::filesystem::exists(t.tree.csl + kSeparator + "texture.BRV2"));
  }
}

// A catalogue written in the last two seconds is read again for every
// airline, its parse kept only while its bytes are the ones parsed.
TEST(KeptFilesTest, ARecentCatalogueEditedBetweenTwoAirlinesIsSeen) {
  TwoAirlines t;
  t.host.between = [&t] { t.EditBravo(/*keepModificationTime=*/true); };
  ASSERT_EQ(t.Install(), InstallOutcome::Completed);
  EXPECT_EQ(ReadFile(t.tree.models()), "Alpha (QUORVANE),ALP1\r\nBravo (QUORVANE),BRX2\r\n");
  EXPECT_EQ(ReadFile(t.tree.csl + kSeparator + "texture.BRX2" + kSeparator + "csl.0af"), "texture of BRX2");
}

TEST(KeptFilesTest, ConfigurationFileEditedBetweenTwoAirlinesIsSeen) {
  struct Case {
    const char* what;
    std::string added;            // by another program, after Alpha
    const char* bravoHeader;      // Bravo's section, or null when none is added
  };
  const Case cases[] = {
      {"a section appended", Crlf("[fltsim.1]\ntitle=Foreign\n"), "[fltsim.2]"},
      {"Bravo's title appended", Crlf("[fltsim.1]\nTitle=~BRV2\n"), nullptr},
      {"a last line without its line end", "[fltsim.1]\r\ntitle=Foreign", "[fltsim.2]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TwoAirlines t;
    t.host.between = [&t, &c] { WriteFile(t.tree.config(), ReadFile(t.tree.config()) + c.added); };
    ASSERT_EQ(t.Install(), InstallOutcome::Completed);
    const std::string config = ReadFile(t.tree.config());
    EXPECT_NE(config.find(c.added), std::string::npos) << "the other program's text is kept whole";
    const std::size_t bravo = config.find("Title=~BRV2");
    if (c.bravoHeader) {
      const std::string header = std::string(c.bravoHeader) + "\r\nTitle=~BRV2";
      EXPECT_NE(config.find(header), std::string::npos) << config;
      EXPECT_EQ(config.find("Title=~BRV2", bravo + 1), std::string::npos) << "one section for Bravo";
    } else {
      EXPECT_NE(bravo, std::string::npos);
      EXPECT_EQ(config.find("[fltsim.2]"), std::string::npos) << "Bravo is there already: " << config;
    }
  }
}

}  // namespace
