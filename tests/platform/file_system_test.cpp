#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "TestSupport.h"
#include "platform/FaultInjection.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path, std::size_t cap) {
  plat::TextFile file;
  EXPECT_TRUE(file.Open(path.c_str(), plat::TextFile::Mode::Read));
  std::vector<std::string> lines;
  std::vector<char> buf(cap);
  std::size_t length = 0;
  while (file.ReadLine(buf.data(), cap, &length)) lines.emplace_back(buf.data(), length);
  EXPECT_TRUE(file.Close());
  return lines;
}

TEST(Paths, BothSeparatorsAndCaseOfExistingEntries) {
#ifdef _WIN32
  GTEST_SKIP() << "the letter-case lookup is the Linux layer's; on Windows the system finds names itself";
#endif
  TempDir dir;
  MakeFolders(dir / "FS2002/aircraft/csl");
  WriteFile(dir / "FS2002/aircraft/csl/aircraft.cfg", "x");
  EXPECT_EQ(plat::NativePath((dir.path() + "\\fs2002\\AIRCRAFT/Csl\\\\Aircraft.cfg").c_str()),
            dir / "FS2002/aircraft/csl/aircraft.cfg");
  EXPECT_EQ(plat::GetPathKind((dir.path() + "\\fs2002\\aircraft").c_str()), plat::PathKind::Folder);
  // New names are kept as given.
  EXPECT_EQ(plat::NativePath((dir.path() + "\\fs2002\\New\\Sub").c_str()), dir / "FS2002/New/Sub");
  ASSERT_TRUE(plat::CreateFolder((dir.path() + "\\fs2002\\Texture.ABC").c_str()));
  EXPECT_TRUE(FileExists(dir / "FS2002/Texture.ABC"));
  EXPECT_FALSE(plat::CreateFolder((dir.path() + "\\fs2002\\texture.abc").c_str())) << "exists in another case";
  // Folder listings kept by the lookup follow our own changes.
  EXPECT_EQ(plat::GetPathKind((dir.path() + "/FS2002/TEXTURE.abc").c_str()), plat::PathKind::Folder);
  ASSERT_TRUE(plat::RemoveFolder((dir.path() + "/fs2002/texture.ABC").c_str()));
  EXPECT_EQ(plat::GetPathKind((dir.path() + "/FS2002/TEXTURE.abc").c_str()), plat::PathKind::Missing);

  // Of names that differ only in case, the smallest is taken, whatever the
  // order of the listing.
  MakeFolders(dir / "FS2002/texture.Q");
  MakeFolders(dir / "FS2002/TEXTURE.q");
  MakeFolders(dir / "FS2002/Texture.q");
  EXPECT_EQ(plat::NativePath((dir.path() + "/FS2002/tExture.q").c_str()), dir / "FS2002/TEXTURE.q");
}

// More folders are made in turn than the lookup keeps listings of, as an
// install makes one texture folder an airline under aircraft/csl: every
// name is still found in any case, and entries made behind the lookup's
// back are seen in the folders it has kept and in those it has let go.
TEST(Paths, ManyNewFoldersInTurnUnderOneParent) {
#ifdef _WIN32
  GTEST_SKIP() << "the letter-case lookup is the Linux layer's; on Windows the system finds names itself";
#endif
  TempDir dir;
  MakeFolders(dir / "csl");
  const std::string csl = dir.path() + "\\CSL\\";
  for (int i = 0; i < 12; ++i) {
    const std::string folder = csl + "Texture.Q" + std::to_string(i);
    ASSERT_TRUE(plat::CreateFolder(folder.c_str())) << i;
    EXPECT_FALSE(plat::CreateFolder((csl + "TEXTURE.q" + std::to_string(i)).c_str())) << i;
    EXPECT_EQ(plat::NativePath((folder + "\\CSL.0AF").c_str()), dir / "csl/Texture.Q" + std::to_string(i) + "/CSL.0AF");
    WriteFile(dir / "csl/Texture.Q" + std::to_string(i) + "/csl.0af", "t");
    EXPECT_EQ(plat::GetPathKind((folder + "\\CSL.0AF").c_str()), plat::PathKind::File) << i;
  }
  MakeFolders(dir / "csl/Other");
  WriteFile(dir / "csl/Texture.Q0/late.txt", "x");
  WriteFile(dir / "csl/Texture.Q11/late.txt", "x");
  EXPECT_EQ(plat::GetPathKind((csl + "OTHER").c_str()), plat::PathKind::Folder);
  EXPECT_EQ(plat::NativePath((csl + "texture.q0\\LATE.TXT").c_str()), dir / "csl/Texture.Q0/late.txt");
  EXPECT_EQ(plat::NativePath((csl + "texture.q11\\LATE.TXT").c_str()), dir / "csl/Texture.Q11/late.txt");
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(plat::GetPathKind((csl + "texture.Q" + std::to_string(i) + "\\csl.0AF").c_str()), plat::PathKind::File)
        << i;
  }
}

// A run's copies of both files wait beside their names while other copies
// may wait there too: each temporary must be a file of its own, also when
// many are made within one tick of the clock.
TEST(Paths, TemporariesBesideOneNameAreEachANewFile) {
  TempDir dir;
  const std::string path = dir / "Aircraft.cfg";
  WriteFile(path, "kept\r\n");
  std::vector<std::string> temporaries;
  for (int i = 0; i < 50; ++i) {
    std::string temp;
    std::FILE* stream = nullptr;
    ASSERT_TRUE(plat::CreateTemporaryBeside(plat::NativePath(path.c_str()), plat::KeptAttributes{}, &temp, &stream))
        << i;
    std::fputs(std::to_string(i).c_str(), stream);
    ASSERT_EQ(std::fclose(stream), 0) << i;
    temporaries.push_back(temp);
  }
  for (int i = 0; i < 50; ++i) EXPECT_EQ(ReadFile(temporaries[i]), std::to_string(i)) << temporaries[i];
  EXPECT_EQ(ReadFile(path), "kept\r\n");
}

TEST(TextMode, ReadTurnsCrLfIntoLfAndWriteTheOtherWay) {
  TempDir dir;
  WriteFile(dir / "in.txt", std::string("a\r\nb\rc\n\x1a" "d\r\n\r\nlast", 17));
  EXPECT_EQ(ReadLines(dir / "in.txt", 100),
            (std::vector<std::string>{"a\n", "b\rc\n", "\x1a" "d\n", "\n", "last"}));

  plat::TextFile out;
  ASSERT_TRUE(out.Open((dir / "out.txt").c_str(), plat::TextFile::Mode::Write));
  out.Write("x\ny\r\n\n");
  ASSERT_TRUE(out.Close());
  EXPECT_EQ(ReadFile(dir / "out.txt"), "x\r\ny\r\r\n\r\n");
}

TEST(TextMode, LinesAreCutToCapacityAndCrLfSurvivesBufferEdges) {
  TempDir dir;
  // A CR LF pair straddling the 64 KiB read buffer still reads as one LF.
  std::string big(65535, 'x');
  WriteFile(dir / "big.txt", big + "\r\nnext\r\n");
  std::vector<std::string> lines = ReadLines(dir / "big.txt", 70000);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], big + "\n");
  EXPECT_EQ(ReadLines(dir / "big.txt", 40000).size(), 3u);
  WriteFile(dir / "short.txt", "abcdef\n");
  EXPECT_EQ(ReadLines(dir / "short.txt", 4), (std::vector<std::string>{"abc", "def", "\n"}));
}

TEST(TextMode, AppendKnowsHowTheFileEnded) {
  TempDir dir;
  for (auto [content, ended] : {std::pair<std::string, bool>{"", true}, {"a\r\n", true}, {"a", false}}) {
    WriteFile(dir / "f", content);
    plat::TextFile file;
    ASSERT_TRUE(file.Open((dir / "f").c_str(), plat::TextFile::Mode::Append));
    EXPECT_EQ(file.EndedWithLineBreak(), ended) << content;
    EXPECT_EQ(file.SizeAtOpen(), content.size());
    file.Write("z\n");
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(ReadFile(dir / "f"), content + "z\r\n");
  }
}

TEST(TextMode, ReadOnlyFilesAndFoldersRefuseWriting) {
  TempDir dir;
  WriteFile(dir / "ro.txt", "keep");
  chmod((dir / "ro.txt").c_str(), 0444);
  plat::TextFile file;
  EXPECT_FALSE(file.Open((dir / "ro.txt").c_str(), plat::TextFile::Mode::Append));
  EXPECT_TRUE(file.Open((dir / "ro.txt").c_str(), plat::TextFile::Mode::Read));
  file.Close();
  EXPECT_FALSE(file.Open(dir.path().c_str(), plat::TextFile::Mode::Read)) << "a folder is no file";
  if (!ReadOnlyFoldersAreEnforced()) GTEST_SKIP() << "Windows does not enforce a read-only folder";
  MakeFolders(dir / "rofolder");
  chmod((dir / "rofolder").c_str(), 0555);
  EXPECT_FALSE(file.Open((dir / "rofolder/new.txt").c_str(), plat::TextFile::Mode::Write));
}

TEST(FileReplacement, ReplacesWholeOrNotAtAll) {
  TempDir dir;
  std::string path = dir / "list.csv";
  WriteFile(path, "old\r\n");
  {
    plat::FileReplacement out;
    ASSERT_TRUE(out.Begin(path.c_str()));
    out.Write("new\n");
    ASSERT_TRUE(out.Commit());
  }
  EXPECT_EQ(ReadFile(path), "new\r\n");

  // Every single failing operation leaves the old content and no temporary.
  for (long n = 1; n <= 8; ++n) {
    WriteFile(path, "old\r\n");
    plat::FailNthOperation(n);
    bool committed = false;
    {
      plat::FileReplacement out;
      if (out.Begin(path.c_str())) {
        out.Write("new\n");
        committed = static_cast<bool>(out.Commit());
      }
    }
    bool fired = plat::InjectedFaultFired();
    plat::FailNthOperation(0);
    if (!fired) break;
    EXPECT_FALSE(committed) << n;
    EXPECT_EQ(ReadFile(path), "old\r\n") << n;
    EXPECT_FALSE(FileExists(path + ".tmp")) << n;
  }

  WriteFile(path, "old\r\n");
  {  // abandoned without Commit
    plat::FileReplacement out;
    ASSERT_TRUE(out.Begin(path.c_str()));
    out.Write("half");
  }
  EXPECT_EQ(ReadFile(path), "old\r\n");
  EXPECT_FALSE(FileExists(path + ".tmp"));
}

TEST(Modules, ModuleFileNameIsCutToCapacity) {
  char buf[300];
  std::size_t n = plat::ModuleFileName(buf, sizeof buf);
  EXPECT_GT(n, 0u);
  EXPECT_EQ(std::strlen(buf), n);
  char tiny[5];
  EXPECT_EQ(plat::ModuleFileName(tiny, sizeof tiny), 4u);
  EXPECT_EQ(std::string(tiny), std::string(buf, 4));
}

}  // namespace

namespace {

TEST(Copies, ACopyOfAReadOnlyFileCanBeCopiedOverAgain) {
  TempDir dir;
  WriteFile(dir / "texture.dat", "texture");
  ASSERT_EQ(chmod((dir / "texture.dat").c_str(), 0444), 0);
  ASSERT_TRUE(plat::CopyFileOver((dir / "texture.dat").c_str(), (dir / "csl.0af").c_str()));
  EXPECT_FALSE(plat::InspectPath((dir / "csl.0af").c_str()).readOnly);
  EXPECT_TRUE(plat::CopyFileOver((dir / "texture.dat").c_str(), (dir / "csl.0af").c_str()));
  EXPECT_EQ(ReadFile(dir / "csl.0af"), "texture");
}

}  // namespace
