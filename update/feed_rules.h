// What a signed feed must carry besides its signature, and when it is too old.
//
// The contract, shared with tools/release and any mirror: beside a feed X the
// server holds X.sig, the ECDSA P-256 signature over the SHA-256 of X's exact
// bytes as 128 hex digits (raw r then s), optionally followed by one newline.
// The product's section holds "Serial" (a positive integer that rises with every
// feed), "Expires" (UTC, YYYY-MM-DD) and, for every Path%.3d (plain and .x64),
// its Sha256%.3d and Length%.3d (the exact size in bytes).
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "update/installer_keys.h"

namespace nuvora {

using FeedSignature = std::array<std::uint8_t, 64>;  // r then s
using FeedKey = std::array<std::uint8_t, 64>;        // the point's X then Y

// 128 hex digits, either case; the signature may end in one newline.
std::optional<FeedSignature> ParseFeedSignature(const std::string& text);
std::optional<FeedKey> ParseFeedKey(const std::string& text);

// Where X.sig is: the feed's address without its query or fragment, ".sig" appended.
std::string SignatureUrl(const std::string& feedUrl);

struct Date {
  int year = 0, month = 0, day = 0;
};
bool operator<(const Date& a, const Date& b);

// "YYYY-MM-DD", a day that exists.
std::optional<Date> ParseFeedDate(const std::string& text);
// A positive decimal number without sign or blanks, up to 18 digits.
std::optional<std::uint64_t> ParseFeedSerial(const std::string& text);
// A decimal number of bytes without sign or blanks, up to 18 digits.
std::optional<std::uint64_t> ParseFeedLength(const std::string& text);

enum class FeedVerdict { Accepted, Malformed, Replayed, Expired };

// Judges a verified feed's section: Malformed when a key of the contract is
// missing or malformed for any language (up to `languages`, at least one);
// Replayed when its Serial is below the highest one accepted before; Expired
// when today (UTC) is past its Expires date. *serial gets the feed's Serial.
FeedVerdict JudgeFeed(const KeyReader& read, std::uint32_t languages,
                      std::optional<std::uint64_t> lastSerial, const Date& today,
                      std::uint64_t* serial);

}  // namespace nuvora
