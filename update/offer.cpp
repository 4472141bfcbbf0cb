#include "update/offer.h"

#include "update/feed_rules.h"
#include "update/ini_keys.h"
#include "update/ini_number.h"

namespace nuvora {

namespace {

// A corrupt "LangCount" must not keep the dialog reading for hours; keys have
// three digits, so a thousand entries is beyond any real file.
constexpr std::uint32_t kMaxLanguages = 1000;
// The fields the texts are read into, terminator included.
constexpr std::size_t kTextField = 256, kCaptionField = 128;

std::optional<std::string> Text(const KeyReader& read, const std::string& key, std::size_t field) {
  std::string value;
  if (!read(key, &value)) return std::nullopt;
  if (value.size() >= field) value.resize(field - 1);
  return value;
}

// Numbers are read as text and judged here: not every reader turns a negative
// value into 0.
std::uint32_t Unsigned(const KeyReader& read, const std::string& key, std::uint32_t fallback) {
  std::string text;
  const bool present = read(key, &text);
  return ParseIniUnsigned(text.c_str(), !present, fallback);
}

// A value that must fit a 260-byte field; a longer one counts as missing rather
// than being cut into another, wrong, URL or name.
std::string Bounded(const KeyReader& read, const std::string& key) {
  std::string value;
  if (!read(key, &value) || !FitsField(value)) return "";
  return value;
}

Download ReadDownload(const KeyReader& read, unsigned n, bool is64BitWindows) {
  const InstallerKeys keys = SelectInstallerKeys(n, is64BitWindows, read);
  Download download;
  download.url = Bounded(read, keys.path);
  download.fileName = Bounded(read, keys.fileName);
  download.sizeKb = Unsigned(read, keys.size, 1);
  std::string text;
  if (read(keys.length, &text)) download.length = ParseFeedLength(text);
  std::string checksum;
  if (!read(keys.sha256, &checksum))
    download.checksum = Download::Checksum::None;
  else if (ParseSha256Text(checksum, &download.sha256))
    download.checksum = Download::Checksum::Given;
  else
    download.checksum = Download::Checksum::Malformed;
  return download;
}

}  // namespace

const Download& Offer::DownloadFor(int selection) const {
  const std::size_t index = selection < 0 ? 0u : static_cast<std::size_t>(selection);
  return index < downloads.size() ? downloads[index] : downloads.front();
}

Offer ReadOffer(const KeyReader& read, bool is64BitWindows) {
  Offer offer;
  offer.major = Unsigned(read, "VerHi", 0);
  offer.minor = Unsigned(read, "VerLo", 0);
  offer.appName = Text(read, "AppName", kTextField);
  offer.version = Text(read, "Version", kTextField);
  offer.price = Text(read, "Price", kTextField);
  offer.size = Text(read, "Size", kTextField);
  offer.captionName = Text(read, "AppName", kCaptionField).value_or("");
  std::uint32_t count = Unsigned(read, "LangCount", 0);
  if (count > kMaxLanguages) count = kMaxLanguages;
  for (std::uint32_t n = 1; n <= count; ++n)
    offer.languages.push_back(Text(read, IndexedKey("Lang", n), kTextField));
  offer.downloads.clear();
  for (std::uint32_t n = 1; n <= (count == 0 ? 1 : count); ++n)
    offer.downloads.push_back(ReadDownload(read, n, is64BitWindows));
  return offer;
}

}  // namespace nuvora
