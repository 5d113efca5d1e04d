// The application icon must keep the one-image layout the tray code reads: a 6-byte header, one
// 16-byte entry, a 128 x 128 32-bit DIB with its 1-bit mask, 67,646 bytes in all.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string ReadIcon() {
  std::ifstream in(VD_ICON_FILE, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le(const std::string& d, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(d[at + i]);
  return v;
}

TEST(IconFile, HeaderAndDirectoryEntry) {
  const std::string d = ReadIcon();
  ASSERT_EQ(d.size(), 67646u);
  const struct {
    size_t offset;
    int size;
    uint32_t value;
  } fields[] = {
      {0, 2, 0},    {2, 2, 1},      {4, 2, 1},     // reserved, icon, one image
      {6, 1, 0x80}, {7, 1, 0x80},                  // 128 x 128
      {8, 1, 0},    {9, 1, 0},      {10, 2, 1},    // colours, reserved, planes
      {12, 2, 32},  {14, 4, 67624}, {18, 4, 22},   // bits, image size, offset
      {22, 4, 40},  {26, 4, 128},   {30, 4, 256},  // BITMAPINFOHEADER: size, width, 2 x height
      {34, 2, 1},   {36, 2, 32},    {38, 4, 0},    // planes, bits, no compression
  };
  for (const auto& f : fields) EXPECT_EQ(Le(d, f.offset, f.size), f.value) << f.offset;
}

TEST(IconFile, MaskMarksExactlyTheFullyTransparentPixels) {
  const std::string d = ReadIcon();
  ASSERT_EQ(d.size(), 67646u);
  const size_t pixels = 22 + 40, mask = pixels + 65536;
  int transparent = 0, opaque = 0;
  for (int row = 0; row < 128; ++row) {
    for (int x = 0; x < 128; ++x) {
      const auto alpha = static_cast<unsigned char>(d[pixels + (row * 128 + x) * 4 + 3]);
      const auto byte = static_cast<unsigned char>(d[mask + row * 16 + x / 8]);
      const bool bit = byte >> (7 - x % 8) & 1;
      EXPECT_EQ(bit, alpha == 0) << row << "," << x;
      (alpha == 0 ? transparent : opaque)++;
    }
  }
  // A picture on a transparent ground: both kinds of pixel are there.
  EXPECT_GT(transparent, 1000);
  EXPECT_GT(opaque, 8000);
}

}  // namespace
