// Decoding of downloaded tool pictures into plain pixels. PNG (libpng) and JPEG (libjpeg) are
// decoded here; the other formats the picture box takes (BMP, GIF, ICO, CUR) are recognised here
// and decoded by the platform. The bytes come from the network: every decoder is bounded by the
// limits below and fails cleanly on damaged or hostile data. Portable: no windows.h.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Top-down rows of 4 bytes per pixel in the order blue, green, red, 255; transparent parts are
// already laid over white, the box's background.
struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
  bool empty() const { return width <= 0 || height <= 0; }
};

// No side longer than this, and no more pixels than this in all (64 MB of pixels at most).
constexpr int kMaxPictureSide = 8192;
constexpr std::uint64_t kMaxPicturePixels = 4096ull * 4096ull;
bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height);

enum class PictureFormat { Unknown, Png, Jpeg, Bmp, Gif, Ico, Cur };
// By the leading signature bytes.
PictureFormat DetectPictureFormat(const std::string& bytes);

// Each returns false, leaving out empty, when the bytes are not a picture of that format or
// break a limit. A PNG or JPEG that ends early but whose header was whole keeps the rows that
// arrived; the rest stays white.
bool DecodePng(const std::string& bytes, Picture& out);
bool DecodeJpeg(const std::string& bytes, Picture& out);

// Mixes each pixel's colour with white by its alpha and makes it opaque.
void LayOverWhite(Picture& picture);
