// Whether a feed comes from the maker: its signature against the keys Nuvora
// trusts, and the highest Serial accepted before.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "update/feed_rules.h"

namespace nuvora {

// The keys built into the program, and those an administrator added as string
// values (any name) under the key "Trusted Keys" of HKEY_LOCAL_MACHINE's
// "Software\Morvel Software Development\Nuvora", read in the 64-bit view on
// 64-bit Windows so that one setting serves both builds. Nothing under
// HKEY_CURRENT_USER adds trust. Malformed keys are skipped.
std::vector<FeedKey> TrustedFeedKeys(const std::vector<std::string>& builtIn);

// Whether one of the keys signed exactly these bytes (CNG, ECDSA P-256 over SHA-256).
bool IsSignedBy(const std::string& feed, const FeedSignature& signature,
                const std::vector<FeedKey>& keys);

// The highest Serial accepted for the product, kept per user.
std::optional<std::uint64_t> LastFeedSerial(const std::string& product);
void RememberFeedSerial(const std::string& product, std::uint64_t serial);

// Today's date in UTC.
Date TodayUtc();

}  // namespace nuvora
