// Rules that keep a feed from misleading Nuvora: numbers, file names, what may
// be started, the installer's keys and its checksum.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "update/file_name.h"
#include "update/ini_number.h"
#include "update/installer_keys.h"
#include "update/progress.h"
#include "update/sha256_text.h"

namespace {

using nuvora::ParseIniUnsigned;

TEST(NuvoraIniNumber, NegativeAndMalformedValuesReadAsZero) {
  // The installed version is compared with these: -1 must not become 4294967295.
  EXPECT_EQ(0u, ParseIniUnsigned("-1", false, 0));
  EXPECT_EQ(0u, ParseIniUnsigned("-4294967295", false, 7));
  EXPECT_EQ(0u, ParseIniUnsigned(" -18", false, 1));
  EXPECT_EQ(0u, ParseIniUnsigned("abc", false, 1));
  EXPECT_EQ(0u, ParseIniUnsigned("", false, 1));  // present but empty is not missing
  EXPECT_EQ(0u, ParseIniUnsigned("-", false, 1));
}

TEST(NuvoraIniNumber, DigitsBlanksSignsAndTheFallback) {
  EXPECT_EQ(18u, ParseIniUnsigned("18", false, 0));
  EXPECT_EQ(18u, ParseIniUnsigned("  +18", false, 0));
  EXPECT_EQ(12u, ParseIniUnsigned("12 kB", false, 0));  // digits up to the first other character
  EXPECT_EQ(4294967295u, ParseIniUnsigned("4294967295", false, 0));
  // Beyond 32 bits saturates: wrapping would turn 4294967296 into 0.
  EXPECT_EQ(4294967295u, ParseIniUnsigned("4294967296", false, 0));
  EXPECT_EQ(4294967295u, ParseIniUnsigned("99999999999999999999999", false, 0));
  EXPECT_EQ(1u, ParseIniUnsigned(nullptr, true, 1));  // missing: DlSize's default
  EXPECT_EQ(1u, ParseIniUnsigned("55", true, 1));
}

TEST(NuvoraFileName, OnlyTheLastHarmlessComponentIsProposed) {
  using nuvora::ProposedFileName;
  const std::string url = "http://h/dl/zov-setup.exe?lang=en#top";
  EXPECT_EQ("setup.exe", ProposedFileName("setup.exe", url));
  EXPECT_EQ("evil.exe",
            ProposedFileName("C:\\Users\\u\\Start Menu\\Programs\\Startup\\evil.exe", url));
  EXPECT_EQ("tool.exe", ProposedFileName("\\\\server\\share\\tool.exe", url));
  EXPECT_EQ("x.exe", ProposedFileName("../../x.exe", url));
  // Rejected names fall back to the URL's last component, query and fragment dropped.
  for (const char* bad : {"CON",        "con.exe",     "Nul.txt",   "COM1",
                          "lpt9.msi",   "AUX .exe",    "a:b.exe",   "setup.exe:stream",
                          "setup.exe.", "setup.exe ",  "ta\tb.exe", "..",
                          "",           "dir\\",       "a?.exe",    "a*.exe",
                          "a|b",        "<a>",         "C:",        "COM\xB9.exe",
                          "lpt\xB2",    "Com\xB3.txt", "CONIN$",    "conout$.exe"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ("zov-setup.exe", ProposedFileName(bad, url));
  }
  EXPECT_EQ("COM0.exe", ProposedFileName("COM0.exe", url));  // only 1 to 9 are devices
  EXPECT_EQ("console.exe", ProposedFileName("console.exe", url));
  // No usable name anywhere.
  EXPECT_EQ("setup.exe", ProposedFileName("", "http://host"));
  EXPECT_EQ("setup.exe", ProposedFileName("", "http://host/"));
  EXPECT_EQ("setup.exe", ProposedFileName("NUL", "http://host/dir/CON"));
}

TEST(NuvoraFileName, OnlyProgramsAndInstallerPackagesAreStarted) {
  using nuvora::IsStartableInstaller;
  EXPECT_TRUE(IsStartableInstaller("C:\\Downloads\\setup.exe"));
  EXPECT_TRUE(IsStartableInstaller("C:\\Downloads\\Setup.EXE"));
  EXPECT_TRUE(IsStartableInstaller("zov.msi"));
  for (const char* path : {"C:\\Downloads\\readme.txt", "setup.exe.txt", "setup", "C:\\a.exe\\b",
                           "a.txt:x.exe", "setup.bat", "setup.com", "setup.scr", "setup.exe_"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(IsStartableInstaller(path));
  }
}

using Feed = std::map<std::string, std::string>;

nuvora::KeyReader ReaderOf(const Feed& feed) {
  return [&feed](const std::string& key, std::string* value) {
    auto it = feed.find(key);
    if (it == feed.end()) return false;
    *value = it->second;
    return true;
  };
}

TEST(NuvoraInstallerKeys, X64KeysOnlyOn64BitWindowsWithAUsablePath) {
  using nuvora::SelectInstallerKeys;
  const Feed feed = {{"Path001", "http://h/a.exe"},
                     {"Path002", "http://h/b.exe"},
                     {"Path002.x64", "http://h/b64.exe"},
                     {"Path003.x64", ""},
                     {"Path004.x64", "http://h/" + std::string(251, 'x')}};
  auto plain = SelectInstallerKeys(2, false, ReaderOf(feed));
  EXPECT_EQ("Path002", plain.path);
  EXPECT_EQ("FileName", plain.fileName);
  EXPECT_EQ("DlSize", plain.size);
  EXPECT_EQ("Sha256002", plain.sha256);

  auto x64 = SelectInstallerKeys(2, true, ReaderOf(feed));
  EXPECT_EQ("Path002.x64", x64.path);
  EXPECT_EQ("FileName002.x64", x64.fileName);
  EXPECT_EQ("DlSize002.x64", x64.size);
  EXPECT_EQ("Sha256002.x64", x64.sha256);

  // Missing, empty or over-long x64 paths leave the plain installer.
  EXPECT_EQ("Path001", SelectInstallerKeys(1, true, ReaderOf(feed)).path);
  EXPECT_EQ("Path003", SelectInstallerKeys(3, true, ReaderOf(feed)).path);
  EXPECT_EQ("Path004", SelectInstallerKeys(4, true, ReaderOf(feed)).path);
  EXPECT_EQ("DlSize", SelectInstallerKeys(4, true, ReaderOf(feed)).size);
  // A feed without any x64 key reads as before on every system.
  const Feed old = {{"Path001", "http://h/a.exe"}};
  EXPECT_EQ("Path001", SelectInstallerKeys(1, true, ReaderOf(old)).path);
  EXPECT_EQ("Path010", SelectInstallerKeys(10, true, ReaderOf(old)).path);
}

TEST(NuvoraSha256Text, ExactlySixtyFourHexDigits) {
  nuvora::Sha256Digest digest{};
  const std::string text = "E3B0C44298FC1C149AFBF4C8996FB92427AE41E4649B934CA495991B7852b855";
  ASSERT_TRUE(nuvora::ParseSha256Text(text, &digest));
  EXPECT_EQ(0xE3, digest[0]);
  EXPECT_EQ(0xB0, digest[1]);
  EXPECT_EQ(0x55, digest[31]);
  nuvora::Sha256Digest untouched{};
  untouched[0] = 7;
  for (const std::string& bad : {text.substr(1), text + "0", std::string(64, 'g'),
                                 " " + text.substr(1), text.substr(0, 63) + "-", std::string()}) {
    SCOPED_TRACE(bad);
    nuvora::Sha256Digest out = untouched;
    EXPECT_FALSE(nuvora::ParseSha256Text(bad, &out));
    EXPECT_EQ(untouched, out);
  }
}

TEST(NuvoraProgress, LargeReadsCountLikeTheirBlocks) {
  using nuvora::KilobytesInRead;
  // 4096, then 1000, then 1000 bytes: 4 kB, and it stays there.
  std::uint32_t received = 0;
  received += KilobytesInRead(4096);
  EXPECT_EQ(4u, received);
  received += KilobytesInRead(1000);
  EXPECT_EQ(4u, received);
  received += KilobytesInRead(1000);
  EXPECT_EQ(4u, received);
  EXPECT_EQ(64u, KilobytesInRead(65536));  // sixteen blocks of 4
  EXPECT_EQ(4u, KilobytesInRead(4096 + 1000));
  EXPECT_EQ(4u, KilobytesInRead(4096 + 1023));
  EXPECT_EQ(5u, KilobytesInRead(4096 + 1024));
  EXPECT_EQ(11u, KilobytesInRead(8192 + 3072 + 1023));
  EXPECT_EQ(0u, KilobytesInRead(0));
}

TEST(NuvoraProgress, ReadsGrowWhenQuickAndShrinkWhenTheyWait) {
  using nuvora::NextReadSize;
  const std::uint32_t most = 65536;
  // Quick answers double the read up to the buffer, in whole blocks.
  std::uint32_t size = 4096;
  for (int i = 0; i < 10; ++i) size = NextReadSize(size, 0, most);
  EXPECT_EQ(most, size);
  EXPECT_EQ(8192u, NextReadSize(4096, 49, most));
  // Slow answers halve it, never below one block.
  EXPECT_EQ(32768u, NextReadSize(most, 201, most));
  EXPECT_EQ(4096u, NextReadSize(4096, 5000, most));
  EXPECT_EQ(4096u, NextReadSize(8192, 5000, most));
  // In between it stays.
  EXPECT_EQ(16384u, NextReadSize(16384, 50, most));
  EXPECT_EQ(16384u, NextReadSize(16384, 200, most));
  // Always whole blocks, whatever comes in.
  for (std::uint32_t current : {0u, 1u, 5000u, 65535u, 70000u, 0xFFFFFFFFu})
    for (std::uint32_t ms : {0u, 50u, 500u}) {
      const std::uint32_t next = NextReadSize(current, ms, most);
      EXPECT_EQ(0u, next % 4096) << current << " " << ms;
      EXPECT_GE(next, 4096u);
      EXPECT_LE(next, most);
    }
  EXPECT_EQ(4096u, NextReadSize(4096, 0, 5000));  // a buffer of one block stays one block
}

}  // namespace
