#include <gtest/gtest.h>

#include <cstring>

#include "catalogue/Catalogue.h"
#include "catalogue/KeptCatalogue.h"
#include "checks/CatalogueCheck.h"
#include "install/Folders.h"
#include "run/InstallRun.h"
#include "TestSupport.h"

using namespace engine;

namespace {

class CatalogueTest : public ::testing::Test {
 protected:
  void Write(const std::string& text) { WriteFile(dir_ / "Airlines.dat", text); }
  std::vector<std::string> List() {
    std::vector<std::string> list = {"stale"};
    FillAirlineList(run_.CatalogueFolder(), &list);
    return list;
  }
  LookupResult Lookup(const std::string& description) {
    const LookupResult result = LookupAirline(run_.keptCatalogue, run_.CatalogueFolder(), description.c_str());
    record_ = result.record;
    return result;
  }
  const AirlineRecord& Record() const { return record_; }

  TempDir dir_;
  InstallRun run_;
  AirlineRecord record_{};  // of the last lookup
  void SetUp() override { ASSERT_TRUE(run_.SetCatalogueFolder(dir_.path().c_str())); }
};

TEST_F(CatalogueTest, ListFollowsSectionNumbersNotFileOrder) {
  Write("[Airline.1023]\nDescr=last\n[Airline.5]\nDescr=five\n[Airline.1024]\nDescr=never\n"
        "[Airline.0]\nDescr=zero\n[Airline.7]\nTitle=no descr\n[Airline.8]\nDescr=\n[Other]\nDescr=other\n");
  EXPECT_EQ(List(), (std::vector<std::string>{"zero", "five", "last"}));
}

TEST_F(CatalogueTest, MissingCatalogueGivesEmptyListAndRecord) {
  EXPECT_TRUE(List().empty());
  EXPECT_FALSE(Lookup("anything").found);
  EXPECT_STREQ(Record().Title, "");
}

TEST_F(CatalogueTest, LookupTakesTheLastMatchWholeAndIsCaseSensitive) {
  Write("[Airline.2]\nDescr=Dup\nTitle=two\nPanel=p2\nSQ1=s2\n"
        "[Airline.9]\nDescr=Dup\nTitle=nine\nSQ1=s9\nFolder=F9\nData=D9\nSim=S\nSound=So\nModel=M\n"
        "[Airline.10]\nDescr=dup\nTitle=ten\n");
  EXPECT_EQ(List(), (std::vector<std::string>{"Dup", "Dup", "dup"}));
  LookupResult result = Lookup("Dup");
  ASSERT_TRUE(result.found);
  const AirlineRecord& r = Record();
  EXPECT_STREQ(r.Title, "nine");
  EXPECT_STREQ(r.Panel, "") << "a key missing from the last match stays empty";
  EXPECT_STREQ(r.SQ1, "s9");
  EXPECT_STREQ(r.Folder, "F9");
  EXPECT_STREQ(r.Data, "D9");
  EXPECT_STREQ(r.Sim, "S");
  EXPECT_STREQ(r.Sound, "So");
  EXPECT_STREQ(r.Model, "M");
  EXPECT_FALSE(Lookup("DUP").found);
  EXPECT_STREQ(Record().Title, "") << "every lookup clears the record first";
}

TEST_F(CatalogueTest, LongDescrIsListedCutAndCannotBeLookedUp) {
  std::string descr(260, 'd');
  Write("[Airline.0]\nDescr=" + descr + "\nTitle=t\n");
  std::vector<std::string> list = List();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0], descr.substr(0, 254));
  EXPECT_FALSE(Lookup(list[0]).found);

  // A lookup reads 299 characters, and a Descr ends at a zero byte.
  Write("[Airline.0]\nDescr=" + std::string(310, 'x') + "\nTitle=cut\n[Airline.1]\nDescr=  \"zero" +
        std::string(1, '\0') + "after\"\nTitle=zero\n");
  ASSERT_TRUE(Lookup(std::string(299, 'x')).found);
  EXPECT_STREQ(Record().Title, "cut");
  EXPECT_FALSE(Lookup(std::string(298, 'x')).found);
  ASSERT_TRUE(Lookup("zero").found);
  EXPECT_STREQ(Record().Title, "zero");
  EXPECT_FALSE(Lookup("zer").found);
  // A Descr that is empty up to its zero byte gives no empty list entry.
  Write("[Airline.0]\nDescr=" + std::string(1, '\0') + "hidden\n[Airline.1]\nDescr=shown\n");
  EXPECT_EQ(List(), (std::vector<std::string>{"shown"}));
}

TEST_F(CatalogueTest, ValuesOverFortyNineCharactersAreNamedNotCut) {
  Write("[Airline.0]\nDescr=A\nTitle=" + std::string(49, 't') + "\nSQ1=" + std::string(50, 's') + "\n");
  LookupResult result = Lookup("A");
  ASSERT_TRUE(result.found);
  ASSERT_NE(result.tooLongKey, nullptr);
  EXPECT_STREQ(result.tooLongKey, "SQ1");
  EXPECT_STREQ(Record().SQ1, "");
  EXPECT_EQ(std::string(Record().Title), std::string(49, 't'));
}

TEST_F(CatalogueTest, AnEditIsSeenByTheNextLookup) {
  Write("[Airline.0]\nDescr=A\nTitle=old\n");
  Lookup("A");
  EXPECT_STREQ(Record().Title, "old");
  Write("[Airline.0]\nDescr=A\nTitle=new\n");
  Lookup("A");
  EXPECT_STREQ(Record().Title, "new");
}

TEST(CatalogueFolder, DefaultsToTheExecutablesFolder) {
  char module[kPathSize];
  GetModuleFolder(module);
  ASSERT_GT(std::strlen(module), 1u);
  EXPECT_EQ(module[std::strlen(module) - 1], kSeparator);
  InstallRun run;
  EXPECT_EQ(run.CatalogueFolder(), module);
  ASSERT_TRUE(run.SetCatalogueFolder("/some/where"));
  EXPECT_EQ(run.CatalogueFolder(), "/some/where/");
  EXPECT_FALSE(run.SetCatalogueFolder(std::string(260, 'x').c_str()));
  EXPECT_EQ(run.CatalogueFolder(), "/some/where/") << "a refused name changes nothing";
  ASSERT_TRUE(run.SetCatalogueFolder(nullptr));
  EXPECT_EQ(run.CatalogueFolder(), module);
}

}  // namespace

namespace {

std::string Findings(const InstallRun& run) {
  std::string text;
  for (const std::string& finding : CheckCatalogue(run.CatalogueFolder())) text += finding + "\n";
  return text;
}

}  // namespace

// What keeps the whole list empty, and what keeps one airline from being
// installed soundly, each said in a line a catalogue's author can act on.
TEST(CatalogueCheck, NamesEveryCatalogueThatListsNothing) {
  TempDir dir;
  InstallRun run;
  ASSERT_TRUE(run.SetCatalogueFolder(dir.path().c_str()));
  const std::string path = dir / "Airlines.dat";
  EXPECT_NE(Findings(run).find("Airlines.dat was not found: the airline list stays empty"), std::string::npos);
  struct Case {
    std::string bytes;
    const char* finding;
  };
  const Case cases[] = {
      {"", "is empty"},
      {"\r\n  \r\n", "is empty"},
      {std::string("[\0A\0i\0r\0", 8), "holds zero bytes: it is binary, or UTF-16 text without its byte-order mark"},
      {"[Other]\r\nDescr=x\r\n", "has no section Airline.0 to Airline.1023"},
  };
  for (const Case& c : cases) {
    WriteFile(path, c.bytes);
    EXPECT_NE(Findings(run).find(c.finding), std::string::npos) << Findings(run);
    EXPECT_EQ(CatalogueFileProblem(run.CatalogueFolder()).empty(), false);
  }
  // UTF-16 with its mark is read, as Windows reads it.
  std::string utf16 = "\xff\xfe";
  for (char c : std::string("[Airline.0]\r\nDescr=A\r\nSQ1=a\r\nTitle=t\r\nFolder=f\r\nData=d\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  WriteFile(path, utf16);
  WriteFile(dir / "d.dat", "x");
  EXPECT_EQ(Findings(run), "");
}

TEST(CatalogueCheck, NamesHeadersThatAreNotReadAndValuesThatInstallNowhere) {
  TempDir dir;
  InstallRun run;
  ASSERT_TRUE(run.SetCatalogueFolder(dir.path().c_str()));
  WriteFile(dir / "Airlines.dat",
            "\xef\xbb\xbf[Airline.0]\r\nDescr=Hidden\r\n"
            "[Airline.1]\r\nDescr=B\r\nSQ1=b\r\nTitle=t\r\nFolder=\r\nData=\r\n"
            "[Airline.2\r\nDescr=lost\r\n");
  const std::string findings = Findings(run);
  EXPECT_NE(findings.find("begins with a UTF-8 byte-order mark"), std::string::npos) << findings;
  EXPECT_NE(findings.find("line 9: \"[Airline.2\" has no closing bracket"), std::string::npos) << findings;
  EXPECT_NE(findings.find("[Airline.1]: Folder is empty, so the texture would go to a folder named \"texture.\""),
            std::string::npos)
      << findings;
  EXPECT_NE(findings.find("[Airline.1]: Data is empty"), std::string::npos) << findings;
}
