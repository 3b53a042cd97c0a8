#include <gtest/gtest.h>

#include <cstdlib>

#include "TestSupport.h"
#include "platform/Profile.h"
#include "platform/ProfileEncoding.h"

namespace {

std::string Get(const std::string& path, const char* section, const char* key, std::size_t cap = 300) {
  char buf[300] = "untouched";
  std::size_t n = plat::ReadProfileValue(section, key, "dflt", buf, cap, path.c_str());
  EXPECT_EQ(n, std::string(buf).size());
  return buf;
}

// The same through our own reader, where the system's function answers
// differently under Wine than Windows does.
std::string GetOurs(const std::string& path, const char* section, const char* key, std::size_t cap = 300) {
  plat::ProfileFile profile;
  profile.Load(path.c_str());
  char buf[300] = "untouched";
  std::size_t n = profile.GetString(section, key, "dflt", buf, cap);
  EXPECT_EQ(n, std::string(buf).size());
  return buf;
}

TEST(ProfileRead, FollowsTheWindowsRules) {
#ifdef _WIN32
  GTEST_SKIP() << "the system's GetPrivateProfileStringA answers here, and Wine's reads comments, keys without '=' "
                  "and keys before the first section otherwise (docs/windows.md)";
#endif
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "top=ignored\r\n"
                 "[Airline.0]\r\n"
                 "  Descr  =  Spaced value  \r\n"
                 "Quoted=\"  kept blanks  \"\r\n"
                 "Half=\"open\r\n"
                 ";Commented=yes\r\n"
                 "Dup=first\n"
                 "dup=second\n"
                 "Empty=\n"
                 "Bare\n"
                 "[AIRLINE.0]\n"
                 "Late=hidden\n"
                 "[ Other ]\n"
                 "Key=v\n");
  EXPECT_EQ(Get(ini, "airline.0", "DESCR"), "Spaced value");
  EXPECT_EQ(Get(ini, "Airline.0", "Quoted"), "  kept blanks  ");
  EXPECT_EQ(Get(ini, "Airline.0", "Half"), "\"open");
  EXPECT_EQ(Get(ini, "Airline.0", ";Commented"), "dflt");
  EXPECT_EQ(Get(ini, "Airline.0", "Dup"), "first");
  EXPECT_EQ(Get(ini, "Airline.0", "Empty"), "");
  EXPECT_EQ(Get(ini, "Airline.0", "Bare"), "") << "a key without '=' has an empty value";
  EXPECT_EQ(Get(ini, "Airline.0", "Late"), "dflt") << "the first section of a name wins";
  EXPECT_EQ(Get(ini, "Other", "key"), "v");
  EXPECT_EQ(Get(ini, "", "top"), "dflt");
  EXPECT_EQ(Get(ini, "Missing", "Key"), "dflt");
  EXPECT_EQ(Get(dir / "none.ini", "Airline.0", "Descr"), "dflt");
}

// The answers below are those of GetPrivateProfileStringA, measured on the
// same files.

TEST(ProfileRead, EndsALineAtALoneCrAsAtAnLf) {
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "[A]\rDescr=one\rSQ1=two\r[B]\rk=v\r[C]\n\rK=c\r\r\nL=w");
  EXPECT_EQ(Get(ini, "A", "Descr"), "one");
  EXPECT_EQ(Get(ini, "A", "SQ1"), "two");
  EXPECT_EQ(Get(ini, "B", "k"), "v");
  EXPECT_EQ(Get(ini, "C", "K"), "c");
  EXPECT_EQ(Get(ini, "C", "L"), "w");
}

TEST(ProfileRead, TakesMatchingQuotesOfEitherKindOffOnce) {
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "[A]\r\nFolder='OYT_F100'\r\nOpen='x\r\nClose=x'\r\nBlanks=' x '\r\nDouble=\"x\"\r\n"
                 "Inner='a'b'\r\nAround=  'q'  \r\nNested=\"'a'\"\r\nEmpty=''\r\nOne='\r\nMixed='\"\r\n");
  EXPECT_EQ(Get(ini, "A", "Folder"), "OYT_F100");
  EXPECT_EQ(Get(ini, "A", "Open"), "'x");
  EXPECT_EQ(Get(ini, "A", "Close"), "x'");
  EXPECT_EQ(Get(ini, "A", "Blanks"), " x ");
  EXPECT_EQ(Get(ini, "A", "Double"), "x");
  EXPECT_EQ(Get(ini, "A", "Inner"), "a'b");
  EXPECT_EQ(Get(ini, "A", "Around"), "q");
  EXPECT_EQ(Get(ini, "A", "Nested"), "'a'");
  EXPECT_EQ(Get(ini, "A", "Empty"), "");
  EXPECT_EQ(Get(ini, "A", "One"), "'");
  EXPECT_EQ(Get(ini, "A", "Mixed"), "'\"");
}

TEST(ProfileRead, CountsCtrlZAsABlankAroundNamesAndValues) {
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "[A\x1a]\r\nK=v\x1a\r\nK2=v\x1a\x1a \x1a\r\nK3=\x1av\r\nK4\x1a=w\r\n\x1aK5=z\r\n"
                 "Quoted='x'\x1a\r\nInside='x\x1a'\r\nMid=a\x1a" "b\r\n\x1a[B]\r\nK=b\r\n\x1a");
  EXPECT_EQ(Get(ini, "A", "K"), "v");
  EXPECT_EQ(Get(ini, "A", "K2"), "v");
  EXPECT_EQ(Get(ini, "A", "K3"), "v");
  EXPECT_EQ(Get(ini, "A", "K4"), "w");
  EXPECT_EQ(Get(ini, "A", "K5"), "z");
  EXPECT_EQ(Get(ini, "A", "Quoted"), "x");
  EXPECT_EQ(Get(ini, "A", "Inside"), "x\x1a");
  EXPECT_EQ(Get(ini, "A", "Mid"), "a\x1a" "b");
  EXPECT_EQ(Get(ini, "A\x1a", "K\x1a"), "v") << "a name asked for loses it too";
  EXPECT_EQ(Get(ini, "B", "K"), "b");
}

TEST(ProfileRead, NamesASectionUpToTheLastBracketOfItsHeader) {
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "[A] ; was [B]\r\nK=1\r\n[C]]\r\nK=2\r\n[D]x]y\r\nK=3\r\n[[E]]\r\nK=4\r\n"
                 "[F] note\r\nK=5\r\nx[G]\r\nK=6\r\n  [H]\r\nK=7\r\n[I\r\n[J=8\r\n");
  EXPECT_EQ(Get(ini, "A", "K"), "dflt");
  EXPECT_EQ(Get(ini, "B", "K"), "dflt");
  EXPECT_EQ(Get(ini, "A] ; was [B", "K"), "1");
  EXPECT_EQ(Get(ini, "C]", "K"), "2");
  EXPECT_EQ(Get(ini, "D]x", "K"), "3");
  EXPECT_EQ(Get(ini, "[E]", "K"), "4");
  EXPECT_EQ(Get(ini, "F", "K"), "5");
  EXPECT_EQ(Get(ini, "G", "K"), "dflt") << "text before the '[' makes no header";
  EXPECT_EQ(Get(ini, "H", "K"), "7");
  EXPECT_EQ(Get(ini, "I", "K"), "dflt") << "a line without ']' is no header";
  EXPECT_EQ(Get(ini, "H", "[J"), "8");
}

// A UTF-16 LE file with its byte-order mark, from code units.
std::string Utf16File(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

TEST(ProfileRead, ReadsUtf16WithItsMarkAndAnswersInWindows1252) {
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, Utf16File(u"[Airline.0]\r\nDescr=caf\u00e9 \u0141\u00f3d\u017a \u20ac \u4e2d \U0001F600 \u2003x\u2003\r\n"
                           u"Folder='q'\x1a\rLong=" + std::u16string(400, u'a') + u"\r\n"
                           u"Pair=ab\U0001F600cd\r\nNbsp=\u00a0y\u00a0\r\nMark=\ufeffz\r\n"
                           u"[B\uFF3D]\r\nK=b\r\n[Airline.\uFF15]\r\nK=5\r\n"));
  // Look-alikes stand in for what Windows-1252 lacks; the em space is no
  // blank, only its look-alike is.
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Descr"), "caf\xe9 L\xf3" "dz \x80 ? ??  x ");
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Folder"), "q");
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Long", 255), std::string(254, 'a'));
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Long", 50), std::string(49, 'a'));
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Pair", 4), "ab?") << "a surrogate pair is two code units";
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Pair", 5), "ab??");
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Nbsp"), "\xa0y\xa0");
  EXPECT_EQ(GetOurs(ini, "Airline.0", "Mark"), "?z");
  // A full-width ']' or digit is none of the signs or digits it looks like.
  EXPECT_EQ(GetOurs(ini, "B]", "K"), "dflt");
  EXPECT_EQ(GetOurs(ini, "B", "K"), "dflt");
  EXPECT_EQ(GetOurs(ini, "Airline.5", "K"), "dflt");
  plat::ProfileFile profile;
  ASSERT_TRUE(profile.Load(ini.c_str()));
  ASSERT_EQ(profile.SectionCount(), 3u);
  EXPECT_EQ(profile.SectionName(2), std::string_view("Airline.\0", 9)) << "as the catalogue compares it";
  // An odd last byte is a code unit of its own; a mark alone is an empty file.
  WriteFile(ini, Utf16File(u"[A]\r\nK=v") + "Z");
  EXPECT_EQ(GetOurs(ini, "A", "K"), "vZ");
  WriteFile(ini, "\xFF\xFE");
  EXPECT_EQ(GetOurs(ini, "A", "K"), "dflt");
}

TEST(ProfileRead, TakesAUtf8MarkForTextOfTheFirstLine) {
  // As Windows reads such a file; Wine's function decodes the mark instead.
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "\xEF\xBB\xBF[A]\r\nK=v\r\n[B]\r\nK=b\r\n");
  EXPECT_EQ(GetOurs(ini, "A", "K"), "dflt");
  EXPECT_EQ(GetOurs(ini, "B", "K"), "b");
}

TEST(ProfileRead, CutsAQuotedValueThatFillsTheBufferOneShorter) {
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "[A]\r\nK='abcdefghij'\r\nOne=\"a\"\r\nOpen='abcdefghij\r\n");
  EXPECT_EQ(Get(ini, "A", "K", 10), "abcdefghi");
  EXPECT_EQ(Get(ini, "A", "K", 11), "abcdefghi");
  EXPECT_EQ(Get(ini, "A", "K", 12), "abcdefghij");
  EXPECT_EQ(Get(ini, "A", "One", 2), "");
  EXPECT_EQ(Get(ini, "A", "One", 3), "a");
  EXPECT_EQ(Get(ini, "A", "Open", 11), "'abcdefghi") << "an unmatched quote is text";
}

TEST(ProfileRead, CutsToCapacityAndCountsWhatItCopied) {
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "[S]\nK=abcdefgh\n");
  EXPECT_EQ(Get(ini, "S", "K", 5), "abcd");
  char buf[1] = {'x'};
  EXPECT_EQ(plat::ReadProfileValue("S", "K", "", buf, 1, ini.c_str()), 0u);
  EXPECT_EQ(buf[0], '\0');
}

TEST(ProfileRead, BareNameLivesInTheConfigFolder) {
  TempDir dir;
  ProfileFolder config(dir.path());
  WriteFile(config / "Quorvane.ini", "[PATH]\nFLUSI=C:\\FS2002\n");
  EXPECT_EQ(Get("Quorvane.ini", "PATH", "FLUSI"), "C:\\FS2002");
}

TEST(ProfileWrite, ReplacesOrAddsAndKeepsEveryOtherLine) {
#ifdef _WIN32
  GTEST_SKIP() << "the system's WritePrivateProfileStringA writes here, and Wine's rewrites every line (docs/windows.md)";
#endif
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "; my notes\r\n[PATH]\r\nFLUSI=old\r\n  other = kept as is \r\n\r\n[Else]\r\nx=1\r\n");
  ASSERT_TRUE(plat::WriteProfileValue("PATH", "flusi", "C:\\new", ini.c_str()));
  ASSERT_TRUE(plat::WriteProfileValue("PATH", "SQUAWK", "D:\\SB", ini.c_str()));
  ASSERT_TRUE(plat::WriteProfileValue("Third", "k", "v", ini.c_str()));
  EXPECT_EQ(ReadFile(ini), Crlf("; my notes\n[PATH]\nflusi=C:\\new\n  other = kept as is \nSQUAWK=D:\\SB\n\n"
                                "[Else]\nx=1\n\n[Third]\nk=v\n"));
}

TEST(ProfileWrite, WritesWhereTheReaderLooks) {
#ifdef _WIN32
  GTEST_SKIP() << "the system's WritePrivateProfileStringA writes here (docs/windows.md)";
#endif
  TempDir dir;
  std::string ini = dir / "a.ini";
  WriteFile(ini, "[PATH] ; was [OLD]\r\nFLUSI=a\r\n[PATH\x1a]\rFLUSI\x1a=b\rSQUAWK=c\r");
  EXPECT_EQ(Get(ini, "PATH", "FLUSI"), "b");
  ASSERT_TRUE(plat::WriteProfileValue("PATH", "FLUSI", "new", ini.c_str()));
  EXPECT_EQ(Get(ini, "PATH", "FLUSI"), "new");
  EXPECT_EQ(Get(ini, "PATH", "SQUAWK"), "c");
  EXPECT_EQ(ReadFile(ini), Crlf("[PATH] ; was [OLD]\nFLUSI=a\n[PATH\x1a]\nFLUSI=new\nSQUAWK=c\n"));
}

TEST(ProfileWrite, CreatesFileAndFolder) {
#ifdef _WIN32
  GTEST_SKIP() << "a bare name lives in the Windows folder, which always exists";
#endif
  TempDir dir;
  setenv("XDG_CONFIG_HOME", (dir / "new/config").c_str(), 1);
  ASSERT_TRUE(plat::WriteProfileValue("PATH", "SQUAWK", "/sb", "Quorvane.ini"));
  EXPECT_EQ(ReadFile(dir / "new/config/Quorvane.ini"), Crlf("[PATH]\nSQUAWK=/sb\n"));
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
