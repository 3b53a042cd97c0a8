#include <gtest/gtest.h>

#include <cstdlib>

#include "FolderSettings.h"
#include "TestSupport.h"

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

}  // namespace
