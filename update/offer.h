// What a feed offers: the newest version, the texts the information dialog
// shows and one installer download per language.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "update/installer_keys.h"
#include "update/sha256_text.h"

namespace nuvora {

struct Download {
  std::string url;       // empty: the feed names none usable
  std::string fileName;  // the feed's proposal, not yet made harmless
  std::uint32_t sizeKb = 1;
  enum class Checksum { None, Given, Malformed } checksum = Checksum::None;
  Sha256Digest sha256 = {};
  std::optional<std::uint64_t> length;  // exact size in bytes
};

struct Offer {
  std::uint32_t major = 0, minor = 0;
  // Shown in the information dialog; missing keys show "<not available>".
  std::optional<std::string> appName, version, price, size;
  std::vector<std::optional<std::string>> languages;
  std::string captionName;  // "AppName" for the download caption, empty when missing
  // downloads[n - 1] is language n's; there is always one, for a feed without languages.
  std::vector<Download> downloads = std::vector<Download>(1);

  // The download for a zero-based list selection (negative: none, the first).
  const Download& DownloadFor(int selection) const;
};

// Reads the product's section through `read`; numbers and texts as the
// profile functions give them, cut to the fields they fill.
Offer ReadOffer(const KeyReader& read, bool is64BitWindows);

}  // namespace nuvora
