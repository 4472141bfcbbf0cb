#include "update/progress.h"

#include <cstdio>

namespace nuvora {

std::uint32_t KilobytesInBlock(std::uint32_t bytes) { return bytes / 1024u; }

namespace {

constexpr std::uint32_t kBlock = 4096;

}  // namespace

std::uint32_t KilobytesInRead(std::uint32_t bytes) {
  return bytes / kBlock * KilobytesInBlock(kBlock) + KilobytesInBlock(bytes % kBlock);
}

std::uint32_t NextReadSize(std::uint32_t current, std::uint32_t elapsedMs, std::uint32_t largest) {
  constexpr std::uint32_t kQuickMs = 50, kSlowMs = 200;
  const std::uint32_t most = largest / kBlock < 1 ? kBlock : largest / kBlock * kBlock;
  std::uint32_t next = current / kBlock * kBlock;
  if (elapsedMs < kQuickMs)
    next = next > most / 2 ? most : next * 2;
  else if (elapsedMs > kSlowMs)
    next = next / 2 / kBlock * kBlock;
  if (next < kBlock) return kBlock;
  return next > most ? most : next;
}

std::uint32_t ProgressPercent(std::uint32_t receivedKb, std::uint32_t totalKb) {
  if (receivedKb == 0) return 0;
  if (receivedKb >= totalKb) return 100;
  return receivedKb * 100u / totalKb;
}

// The patterns come from the string table, hence not literals.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#endif

void FormatProgressText(char* out, std::size_t size, const char* pattern, std::uint32_t receivedKb,
                        std::uint32_t totalKb) {
  if (size == 0) return;
  // The pattern takes %d: values above INT_MAX show as negative, as they always did.
  if (std::snprintf(out, size, pattern, static_cast<int>(receivedKb), static_cast<int>(totalKb)) <
      0)
    out[0] = '\0';
}

void FormatCaption(char* out, std::size_t size, const char* pattern, const char* appName) {
  if (size == 0) return;
  if (std::snprintf(out, size, pattern, appName) < 0) out[0] = '\0';
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

}  // namespace nuvora
