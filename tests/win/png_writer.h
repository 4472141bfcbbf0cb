// Writes RGB images as PNG files (stored deflate blocks, no compression
// library) so that test runs leave viewable screenshots behind.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// rgb: rows bottom-up as OpenGL reads them, 3 bytes per pixel.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace testing_support
