#include <gtest/gtest.h>

#include <cstdlib>

#include "Profile.h"
#include "TestSupport.h"

namespace {

std::string Get(const std::string& path, const char* section, const char* key, std::size_t cap = 300) {
  char buf[300] = "untouched";
  std::size_t n = plat::ReadProfileValue(section, key, "dflt", buf, cap, path.c_str());
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
