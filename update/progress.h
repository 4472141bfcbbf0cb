// Arithmetic and texts of the download progress display.
#pragma once
#include <cstddef>
#include <cstdint>

namespace nuvora {

// Kilobytes that one block adds: whole kilobytes only, the rest of each block is dropped.
std::uint32_t KilobytesInBlock(std::uint32_t bytes);

// Bar position 0..100: 0 before anything arrived, 100 once the total is reached
// (so a total of 0 never divides), else received*100/total in 32-bit unsigned arithmetic.
std::uint32_t ProgressPercent(std::uint32_t receivedKb, std::uint32_t totalKb);

// Formats the progress pattern (two %d: received, then total) into out.
void FormatProgressText(char* out, std::size_t size, const char* pattern, std::uint32_t receivedKb,
                        std::uint32_t totalKb);

// Formats the download caption pattern (one %s) with the product name into out.
void FormatCaption(char* out, std::size_t size, const char* pattern, const char* appName);

}  // namespace nuvora
