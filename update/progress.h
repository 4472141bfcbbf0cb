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

// How much to ask of the next read when `available` bytes are waiting: whole
// 4096-byte blocks, at least one and at most `largest`. A read is answered only
// when full (or at the end), so a slow server still shows progress every block
// while a fast one is read in large pieces, and the kilobytes count as they did.
std::uint32_t ReadSizeFor(std::uint32_t available, std::uint32_t largest);

// Bar position 0..100: 0 before anything arrived, 100 once the total is reached
// (so a total of 0 never divides), else received*100/total in 32-bit unsigned arithmetic.
std::uint32_t ProgressPercent(std::uint32_t receivedKb, std::uint32_t totalKb);

// Formats the progress pattern (two %d: received, then total) into out.
void FormatProgressText(char* out, std::size_t size, const char* pattern, std::uint32_t receivedKb,
                        std::uint32_t totalKb);

// Formats the download caption pattern (one %s) with the product name into out.
void FormatCaption(char* out, std::size_t size, const char* pattern, const char* appName);

}  // namespace nuvora
