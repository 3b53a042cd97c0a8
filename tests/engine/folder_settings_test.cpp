#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "commands/FolderSettings.h"
#include "TestSupport.h"
#include "platform/FileSystem.h"

using namespace engine;

namespace {

class FolderSettingsTest : public ::testing::Test {
 protected:
  std::string Profile() { return ReadFile(config_ / "Quorvane.ini"); }

  TempDir configDir_;
  ProfileFolder config_{configDir_.path()};
  InstallTree tree_;
  FakeHost host_;
};

TEST_F(FolderSettingsTest, FieldsComeFromTheProfileCutTo299) {
  RememberedFolders fields = LoadFolderFields();
  EXPECT_EQ(fields.fsFolder, "") << "no profile yet";
  EXPECT_EQ(fields.squawkBoxFolder, "");
  WriteFile(config_ / "Quorvane.ini", "[PATH]\r\nFLUSI=" + std::string(310, 'f') + "\r\nSQUAWK=D:\\Wrong\r\n");
  fields = LoadFolderFields();
  EXPECT_EQ(fields.fsFolder, std::string(299, 'f'));
  EXPECT_EQ(fields.squawkBoxFolder, "D:\\Wrong") << "no check is made when the fields are filled";
}

TEST_F(FolderSettingsTest, AcceptedFolderGoesToFieldAndProfile) {
  host_.fsFolder = "C:\\Before";
  host_.browseAccepted = true;
  host_.browseResult = tree_.fs;
  OnBrowseFsFolder(host_);
  EXPECT_EQ(host_.browseCalls, std::vector<std::string>{"Please select the FS2002 Main-Directory|C:\\Before"});
  EXPECT_EQ(host_.fsFolder, tree_.fs);
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(Profile(), Crlf("[PATH]\nFLUSI=" + tree_.fs + "\n"));
}

TEST_F(FolderSettingsTest, RejectedFolderIsRememberedButNotShown) {
  host_.squawkBoxFolder = "kept";
  host_.browseAccepted = true;
  host_.browseResult = tree_.fs;  // no CSL_ICAO.csv there
  OnBrowseSquawkBoxFolder(host_);
  EXPECT_EQ(host_.squawkBoxFolder, "kept");
  ASSERT_EQ(host_.messages.size(), 1u);
  EXPECT_EQ(host_.messages[0].text, "This is not the correct SquawkBox directory !\n\nPlease try again !");
  EXPECT_EQ(Profile(), Crlf("[PATH]\nSQUAWK=" + tree_.fs + "\n"));
  EXPECT_EQ(LoadFolderFields().squawkBoxFolder, tree_.fs) << "the next start shows it";
}

TEST_F(FolderSettingsTest, CancelledBrowseKeepsTheRememberedFolder) {
  WriteFile(config_ / "Quorvane.ini", "[PATH]\r\nFLUSI=C:\\FS2002\r\n");
  host_.fsFolder = "C:\\FS2002";
  OnBrowseFsFolder(host_);
  EXPECT_EQ(host_.fsFolder, "C:\\FS2002");
  EXPECT_TRUE(host_.messages.empty());
  EXPECT_EQ(Profile(), "[PATH]\r\nFLUSI=C:\\FS2002\r\n");
}

// A profile that cannot be written (here a folder stands at its name, on
// Windows in the Windows folder): the user learns it once, with the file
// and the reason, and every browse still works as before.
TEST_F(FolderSettingsTest, AProfileThatCannotBeWrittenIsToldOnceAndTheFieldsStillWork) {
  const std::string blocker = config_ / "Quorvane.ini";
  std::filesystem::create_directory(blocker);
  host_.browseAccepted = true;
  host_.browseResult = tree_.fs;
  OnBrowseFsFolder(host_);
  EXPECT_EQ(host_.fsFolder, tree_.fs) << "the accepted folder is used all the same";
  ASSERT_EQ(host_.messages.size(), 1u);
  const std::string text = host_.messages[0].text;
  EXPECT_EQ(host_.messages[0].kind, MessageKind::Failure);
  const std::string file = plat::DisplayPath(plat::ProfileLocation("Quorvane.ini").c_str());
  EXPECT_NE(text.find("could not write them to the file\n" + file + " ("), std::string::npos) << text;
  EXPECT_EQ(text.find("()"), std::string::npos) << "a reason is given:\n" << text;
  EXPECT_NE(text.find("This message is not shown again"), std::string::npos) << text;

  host_.browseResult = tree_.fs;  // not the SquawkBox folder: rejected, and again not saved
  OnBrowseSquawkBoxFolder(host_);
  ASSERT_EQ(host_.messages.size(), 2u) << "only the wrong folder is told now";
  EXPECT_EQ(host_.messages[1].text, "This is not the correct SquawkBox directory !\n\nPlease try again !");
  std::filesystem::remove(blocker);

  OnBrowseFsFolder(host_);
  EXPECT_EQ(host_.messages.size(), 2u);
  EXPECT_EQ(Profile(), Crlf("[PATH]\nFLUSI=" + tree_.fs + "\n")) << "writable again: remembered";
}

}  // namespace
