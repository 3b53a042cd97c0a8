#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "text/TitleScan.h"
#include "TestSupport.h"
#include "platform/TextFile.h"

using namespace engine;

namespace {

struct Outcome {
  TitleScan scan;
  std::vector<int> progress;
};

// The scan as first written: one text-mode ReadLine of capacity 2000 per
// iteration. The scan over the bytes in memory must agree with it.
Outcome ScanByReadLine(const std::string& path, const char* title) {
  Outcome out;
  plat::TextFile file;
  EXPECT_TRUE(file.Open(path.c_str(), plat::TextFile::Mode::Read));
  char line[2000];
  for (int i = 0; i < 10000; ++i) {
    if (i <= 1000) out.progress.push_back(i);
    if (!file.ReadLine(line, sizeof line)) break;
    if (std::strncmp(line, "[fltsim.", 8) != 0) continue;
    if (!file.ReadLine(line, sizeof line)) {
      ++out.scan.headers;
      break;
    }
    std::size_t length = std::strlen(line);
    if (length > 0) line[--length] = '\0';
    if (length >= 6 && std::strcmp(line + 6, title) == 0) {
      out.scan.present = true;
      break;
    }
    ++out.scan.headers;
  }
  EXPECT_TRUE(file.Close());
  return out;
}

Outcome ScanInMemory(const std::string& content, const char* title) {
  Outcome out;
  out.scan = ScanForTitle(content, title, [&out](int i) { out.progress.push_back(i); });
  return out;
}

// Configuration-like text with what makes reads differ: CR LF and lone
// CRs, lines longer than one read (also with a CR at the cut), '[' inside
// lines, zero bytes, title lines of every shape, and no line feed at the
// end.
std::string RandomConfig(std::mt19937& random, const char* title) {
  const char* shapes[] = {"[fltsim.", "Title=", "title=", "Title = ", "[general]", "model=x", "", "[",
                          "a[fltsim.", "\r", "x\0y"};
  const char* ends[] = {"\r\n", "\n", "\r\n", "\r"};
  std::string text;
  const int lines = static_cast<int>(random() % 400);
  for (int i = 0; i < lines; ++i) {
    switch (random() % 8) {
      case 0: text += std::string(1990 + random() % 30, 'L'); break;
      case 1: text += std::string(1998, 'C') + "\r"; break;
      case 2: text += std::string("Title=") + title; break;
      case 3: text.append("Title=~X\0Z", 10); break;
      default: {
        const char* shape = shapes[random() % (sizeof shapes / sizeof shapes[0])];
        text.append(shape, std::strcmp(shape, "x") == 0 ? 3 : std::strlen(shape));
        text += std::to_string(random() % 50);
      }
    }
    if (i + 1 < lines || random() % 2) text += ends[random() % 4];
  }
  return text;
}

TEST(TitleScanTest, AgreesWithReadingLineByLine) {
  TempDir dir;
  std::mt19937 random(11);
  const std::string path = dir / "Aircraft.cfg";
  for (int round = 0; round < 400; ++round) {
    const char* title = round % 3 ? "~QV0007" : "";
    const std::string content = RandomConfig(random, title);
    WriteFile(path, content);
    const Outcome expected = ScanByReadLine(path, title);
    const Outcome got = ScanInMemory(content, title);
    ASSERT_EQ(got.scan.present, expected.scan.present) << "round " << round;
    ASSERT_EQ(got.scan.headers, expected.scan.headers) << "round " << round;
    ASSERT_EQ(got.progress, expected.progress) << "round " << round;
  }
}

TEST(TitleScanTest, StopsAfterTenThousandReadsAndCountsAHeaderAtTheEnd) {
  // Each section takes four reads: the header with its title line, x, y, z.
  std::string many;
  for (int i = 0; i < 2500; ++i) many += "[fltsim." + std::to_string(i) + "]\r\nTitle=a\r\nx\r\ny\r\nz\r\n";
  many += "[fltsim.9]\r\nTitle=late\r\n";
  Outcome out = ScanInMemory(many, "late");
  EXPECT_FALSE(out.scan.present) << "the title lies past the 10000th read";
  EXPECT_EQ(out.scan.headers, 2500);
  EXPECT_EQ(out.progress.size(), 1001u);

  out = ScanInMemory("[general]\r\n[fltsim.0]\r\nTitle=a\r\n[fltsim.1]", "b");
  EXPECT_EQ(out.scan.headers, 2);
  EXPECT_EQ(ScanInMemory("[fltsim.0]\nTitle=a", "a").scan.present, false) << "no line feed: the 'a' is cut";
  EXPECT_EQ(ScanInMemory("[fltsim.0]\r\nTitle=a\r\n", "a").scan.present, true);
}

}  // namespace

namespace {

// What an install appends, as it stores it.
std::string AppendedSection(int number, const std::string& title) {
  return "[fltsim." + std::to_string(number) + "]\r\nTitle=" + title + "\r\nSim=s\r\nModel=\r\nPanel=\r\nSound=\r\n" +
         "Texture=t\r\nquorvane=q\r\nchecklists=\r\n\r\n";
}

Outcome Find(const TitleIndex& index, const char* title) {
  Outcome out;
  out.scan = index.Find(title, [&out](int i) { out.progress.push_back(i); });
  return out;
}

}  // namespace

// The index carried over the sections a run appends answers as a scan of
// the whole longer file does, and refuses to go on where the file's end
// was no whole line.
TEST(TitleScanTest, GoingOnOverAppendedSectionsAgreesWithScanningTheWholeFile) {
  std::mt19937 random(5);
  int extended = 0;
  for (int round = 0; round < 300; ++round) {
    const std::string base = RandomConfig(random, "~QV0007");
    TitleIndex carried(base);
    std::string whole = base;
    if (!carried.CanExtend()) continue;
    ++extended;
    for (int k = 0; k < 1 + static_cast<int>(random() % 4); ++k) {
      const std::string section = AppendedSection(k, "~NEW" + std::to_string(k));
      carried.Extend(section);
      whole += section;
    }
    const TitleIndex fresh(whole);
    for (const char* title : {"~QV0007", "~NEW0", "~NEW3", "~X", "absent"}) {
      const Outcome a = Find(carried, title);
      const Outcome b = Find(fresh, title);
      ASSERT_EQ(a.scan.present, b.scan.present) << round << " " << title;
      ASSERT_EQ(a.scan.headers, b.scan.headers) << round << " " << title;
      ASSERT_EQ(a.progress, b.progress) << round << " " << title;
    }
    ASSERT_EQ(carried.Reach(), fresh.Reach()) << round;
  }
  EXPECT_GT(extended, 50);
  EXPECT_FALSE(TitleIndex("[fltsim.0]\r\nTitle=a").CanExtend()) << "a last line without its line feed";
  EXPECT_FALSE(TitleIndex("x\r\n[fltsim.0]\r\n").CanExtend()) << "a header still waiting for its title line";
}
