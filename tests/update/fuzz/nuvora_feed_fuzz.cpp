// libFuzzer target for what Nuvora reads from a verified feed: any bytes must
// read as a section (or none) without touching memory outside it, and the offer
// and the verdict must hold their invariants.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "update/feed_rules.h"
#include "update/ini_text.h"
#include "update/offer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  nuvora::ParseFeedSignature(text);
  const auto read = nuvora::IniSectionReader(text, "Verivir");
  if (!read) return 0;
  for (bool x64 : {false, true}) {
    const nuvora::Offer offer = nuvora::ReadOffer(*read, x64);
    if (offer.downloads.empty() || offer.languages.size() > 1000) std::abort();
    if (offer.downloads.size() != (offer.languages.empty() ? 1 : offer.languages.size()))
      std::abort();
    for (int selection : {-1, 0, 999, 5000}) {
      const nuvora::Download& download = offer.DownloadFor(selection);
      if (download.url.size() >= 260 || download.fileName.size() >= 260) std::abort();
    }
    if (offer.appName && offer.appName->size() > 255) std::abort();
    std::uint64_t serial = 0;
    const auto verdict = nuvora::JudgeFeed(
        *read, static_cast<std::uint32_t>(offer.languages.size()), 100, {2025, 1, 1}, &serial);
    if (verdict != nuvora::FeedVerdict::Malformed && serial == 0) std::abort();
  }
  return 0;
}
