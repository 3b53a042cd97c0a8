// Windows' VirtualStore under Wine, which has none: this process's
// %LOCALAPPDATA% points at a folder of the test, in which copies are
// planted where Windows would keep them. Wine answers that the process is
// not virtualized; the other answer is given by the test.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/FileSystem.h"
#include "commands/InstallCommand.h"
#include "run/InstallRun.h"
#include "run/Messages.h"
#include "run/RedirectedFiles.h"
#include "TestSupport.h"
#include "platform/VirtualStore.h"

using namespace engine;

namespace {

std::string SystemDrive() {
  char folder[MAX_PATH + 1];
  ::GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder, 2);
}

// %LOCALAPPDATA% of this process is the test's folder while this lives.
class PlantedStore {
 public:
  PlantedStore() {
    char value[MAX_PATH * 2];
    const DWORD length = ::GetEnvironmentVariableA("LOCALAPPDATA", value, sizeof value);
    m_had = length > 0 && length < sizeof value;
    if (m_had) m_saved.assign(value, length);
    ::SetEnvironmentVariableA("LOCALAPPDATA", m_local.path().c_str());
  }
  ~PlantedStore() { ::SetEnvironmentVariableA("LOCALAPPDATA", m_had ? m_saved.c_str() : nullptr); }

  // Where Windows would keep this user's copy of the path.
  std::string CopyPlace(const std::string& path) const {
    return m_local.path() + "\\VirtualStore" + plat::AbsolutePath(path.c_str()).substr(2);
  }
  std::string Plant(const std::string& path, const std::string& bytes) const {
    const std::string copy = CopyPlace(path);
    MakeFolders(copy.substr(0, copy.rfind('\\')));
    WriteFile(copy, bytes);
    return copy;
  }

 private:
  TempDir m_local;
  std::string m_saved;
  bool m_had = false;
};

// The platform's copies, but a virtualized process.
class VirtualizedProcess : public FileRedirection {
 public:
  bool ProcessIsVirtualized() const override { return true; }
};

class VirtualStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (plat::AbsolutePath(tree_.fs.c_str()).compare(0, 2, SystemDrive()) != 0) {
      GTEST_SKIP() << "the test's temporary folder " << tree_.fs << " is not on the system drive";
    }
    tree_.AddAirline(0, "Alpha", "ALP1");
    tree_.UseCatalogue(run_);
    host_.UseTree(tree_, {"Alpha"});
    WriteFile(tree_.config(), kConfig);
    WriteFile(tree_.models(), kModels);
  }

  static constexpr const char* kConfig = "[fltsim.0]\r\ntitle=Mine\r\n";
  static constexpr const char* kModels = "Mine,X\r\n";
  InstallTree tree_;
  PlantedStore store_;
  InstallRun run_;
  FakeHost host_;
};

TEST_F(VirtualStoreTest, ACopyIsFoundOnlyWhereWindowsKeepsIt) {
  EXPECT_EQ(plat::VirtualStoreCopy(tree_.config().c_str()), "") << "nothing planted yet";
  const std::string copy = store_.Plant(tree_.config(), "copy");
  EXPECT_EQ(plat::VirtualStoreCopy(tree_.config().c_str()), copy);
  EXPECT_EQ(plat::VirtualStoreCopy(tree_.models().c_str()), "");

  // A path on another drive has no copy, also where the same path on the
  // system drive has one (Wine's Z: is the Unix root).
  const std::string onZ = "Z:" + plat::AbsolutePath(tree_.config().c_str()).substr(2);
  EXPECT_EQ(plat::VirtualStoreCopy(onZ.c_str()), "");
}

TEST_F(VirtualStoreTest, AnUnvirtualizedRunBesideAPlantedCopyChangesNothing) {
  if (plat::IsVirtualized()) GTEST_SKIP() << "this process is virtualized";
  const std::string copy = store_.Plant(tree_.models(), "Older,Y\r\n");
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::CheckFailed);
  const std::string text = host_.LastMessage()->text;
  EXPECT_NE(text.find(std::string("  ") + run_.context.modelListPath + "\n  copy: " + copy + "\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("Nothing has been changed."), std::string::npos) << text;
  EXPECT_EQ(ReadFile(tree_.config()), kConfig);
  EXPECT_EQ(ReadFile(tree_.models()), kModels);
  EXPECT_EQ(ReadFile(copy), "Older,Y\r\n");
  EXPECT_FALSE(FileExists(tree_.models() + ".bak"));
}

TEST_F(VirtualStoreTest, AVirtualizedRunNamesThePlantedCopies) {
  VirtualizedProcess virtualized;
  run_.redirection = &virtualized;
  const std::string configCopy = store_.Plant(tree_.config(), kConfig);
  const std::string modelsCopy = store_.Plant(tree_.models(), kModels);
  EXPECT_EQ(OnInstall(run_, host_.Request(), host_), InstallOutcome::Completed);
  EXPECT_EQ(host_.LastMessage()->text,
            std::string(kSuccessText) +
                "\n\nWindows keeps the changed files for your user account in its VirtualStore folder:\n  " +
                configCopy + "\n  " + modelsCopy +
                "\nFS2002 and SquawkBox read them there when they are started the usual way (not as administrator).");
}

}  // namespace
