// Whom Nuvora believes: only a feed signed by a trusted key, within its date and
// not older than the last one, and only answers over a connection that stays
// private and honest.
#include <windows.h>

#include <optional>

#include "tests/update/nuvora_case.h"

namespace nuvora_test {
namespace {

class NuvoraTrust : public NuvoraCase {
 protected:
  // Starts a run on a feed served as given; expects the message and no offer.
  static void ExpectRefused(NuvoraRun& run, const std::string& feedUrl, const char* message) {
    ASSERT_TRUE(run.Start(feedUrl + ",Verivir,1,17"));
    HWND box = ExpectMessage(run, message);
    EXPECT_EQ(nullptr, run.Find(Kind::Information));
    ASSERT_NO_FATAL_FAILURE(AnswerAndExpectExit(run, box, IDOK));
  }

  static const Keys& Offer() {
    static const Keys keys = {{"VerHi", "2"}, {"Path001", Url("a.exe?size=10")}};
    return keys;
  }
};

TEST_F(NuvoraTrust, OnlyAFeedSignedByATrustedKeyIsRead) {
  const std::string text = Feed("Verivir", Offer());
  const FeedKey stranger;
  std::string changed = text;
  changed[changed.find("VerHi=2") + 6] = '9';
  // Signed, but a path without its hash: what a verified feed must carry is
  // judged window-free; this only shows that the verdict reaches the user.
  const std::string unbound =
      "[Verivir]\r\nVerHi=2\r\nSerial=1\r\nExpires=2099-12-31\r\nPath001=" + Url("a.exe") +
      "\r\nLength001=5\r\n";
  struct Case {
    const char* what;
    std::string feed, signature;
    HKEY trustedBy;  // where the stranger's key is trusted, if anywhere
  };
  const std::vector<Case> cases = {
      {"unsigned", text, "", nullptr},
      {"signed by an untrusted key", text, stranger.Sign(text), nullptr},
      {"one byte changed after signing", changed, FeedKey::Trusted().Sign(text), nullptr},
      {"a path without its hash", unbound, FeedKey::Trusted().Sign(unbound), nullptr},
      // A key trusted by the user counts for nothing; one an administrator added does.
      {"stranger's key in HKEY_CURRENT_USER", text, stranger.Sign(text), HKEY_CURRENT_USER},
      {"stranger's key in HKEY_LOCAL_MACHINE", text, stranger.Sign(text), HKEY_LOCAL_MACHINE},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    NuvoraRun run(RunName(static_cast<int>(i)));
    if (!cases[i].signature.empty()) run.Serve("update.ini.sig", cases[i].signature);
    const std::string url = run.Serve("update.ini", cases[i].feed);
    std::optional<ScopedTrustedKey> trust;
    if (cases[i].trustedBy) trust.emplace(cases[i].trustedBy, stranger.Public());
    if (cases[i].trustedBy == HKEY_LOCAL_MACHINE)
      ASSERT_NO_FATAL_FAILURE(ExpectOffered(run, url));
    else
      ASSERT_NO_FATAL_FAILURE(ExpectRefused(run, url, kUnverified));
  }
}

TEST_F(NuvoraTrust, AnOlderOrExpiredFeedIsRefused) {
  struct Step {
    const char* serial;
    const char* expires;
    const char* message;  // nullptr: offered
  };
  const Step steps[] = {{"202501311200", "2099-12-31", nullptr},
                        {"202501311159", "2099-12-31", kReplayed},  // a replayed older feed
                        {"202501311200", "2099-12-31", nullptr},    // the same one again
                        {"202502011200", "2001-01-01", kExpired}};  // a server kept on it forever
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(std::string(steps[i].serial) + " " + steps[i].expires);
    NuvoraRun run(RunName(i));
    Keys keys = Offer();
    keys.push_back({"Serial", steps[i].serial});
    keys.push_back({"Expires", steps[i].expires});
    const std::string url = run.ServeFeed("update.ini", Feed("Verivir", keys));
    if (steps[i].message)
      ASSERT_NO_FATAL_FAILURE(ExpectRefused(run, url, steps[i].message));
    else
      ASSERT_NO_FATAL_FAILURE(ExpectOffered(run, url));
  }
}

TEST_F(NuvoraTrust, HttpsStaysPrivateAndHonest) {
  NuvoraRun run(RunName(0));
  const std::string feed = Feed("Verivir", Offer());
  run.ServeFeed("update.ini", feed);
  const std::string path = RunName(0) + "/update.ini";
  ASSERT_NO_FATAL_FAILURE(ExpectRefused(run, TlsUrl(path, true), kBadCertificate));
  TrustedTestAuthority authority;
  ASSERT_TRUE(authority.Ok());
  {
    NuvoraRun trusted(RunName(1));
    ASSERT_NO_FATAL_FAILURE(ExpectOffered(trusted, TlsUrl(path)));
  }
  NuvoraRun downgraded(RunName(2));
  ASSERT_NO_FATAL_FAILURE(
      ExpectRefused(downgraded, TlsUrl(path + "?redirect=" + Url(path)), kInsecureRedirect));
}

// Only "200 OK" is the file: no empty answer, no redirect WinINet would not
// follow, no endless redirects, is saved as the installer.
TEST_F(NuvoraTrust, OnlyTheFileItselfIsSaved) {
  struct Case {
    const char* what;
    std::string path;
    const char* message;  // nullptr: the install question
  };
  const std::string file = "setup.exe?size=5000";
  const std::vector<Case> cases = {
      {"204", file + "&status=204", kCannotOpenUrl},
      {"302 to ftp", file + "&redirect=ftp://127.0.0.1/setup.exe", kCannotOpenUrl},
      {"302 to itself, forever", file + "&loop=1", kCannotOpenUrl},
      {"302 to the file", "moved.exe?size=5000&redirect=" + file, nullptr},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].what);
    NuvoraRun run(RunName(static_cast<int>(i)));
    // Every path serves the same 5000 bytes, so the feed binds them all alike.
    const Keys keys = {{"VerHi", "2"}, {"Path001", Url(cases[i].path)}};
    ASSERT_TRUE(run.Start(run.ServeFeed("update.ini", Feed("Verivir", keys)) + ",Verivir,1,17"));
    ASSERT_NO_FATAL_FAILURE(ChooseAndSave(run, -1, run.LocalPath("setup.exe")));
    const char* message = cases[i].message ? cases[i].message : kInstallQuestion;
    ASSERT_NO_FATAL_FAILURE(
        AnswerAndExpectExit(run, ExpectMessage(run, message), cases[i].message ? IDOK : IDNO));
    EXPECT_EQ(cases[i].message ? -1 : 5000, FileSize(run.LocalPath("setup.exe")));
  }
}

}  // namespace
}  // namespace nuvora_test
