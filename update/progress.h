// Arithmetic and texts of the download progress display.
#pragma once
#include <cstddef>
#include <cstdint>

namespace nuvora {

// Kilobytes that one block adds: whole kilobytes only, the rest of each block is dropped.
std::uint32_t KilobytesInBlock(std::uint32_t bytes);

// Kilobytes that one read adds when it is larger than a block: the read counts
// as consecutive 4096-byte blocks, each by the rule above, so a 64 KiB read
// shows what sixteen 4096-byte reads showed.
std::uint32_t KilobytesInRead(std::uint32_t bytes);

// Size of the next read, in whole 4096-byte blocks from one block up to `largest`.
// A read is answered only when full (or at the end), so reads grow while they
// come back at once (a fast server is read in large pieces) and shrink while
// they wait (a slow one still shows progress several times a second); the
// kilobytes count as they did with 4096-byte reads.
std::uint32_t NextReadSize(std::uint32_t current, std::uint32_t elapsedMs, std::uint32_t largest);

// Bar position 0..100: 0 before anything arrived, 100 once the total is reached
// (so a total of 0 never divides), else received*100/total in 32-bit unsigned arithmetic.
std::uint32_t ProgressPercent(std::uint32_t receivedKb, std::uint32_t totalKb);

// Formats the progress pattern (two %d: received, then total) into out.
void FormatProgressText(char* out, std::size_t size, const char* pattern, std::uint32_t receivedKb,
                        std::uint32_t totalKb);

// Formats the download caption pattern (one %s) with the product name into out.
void FormatCaption(char* out, std::size_t size, const char* pattern, const char* appName);

}  // namespace nuvora
