// PNG and JPEG decoding of the tool pictures: real files of the usual kinds, and damaged or
// hostile ones (cut short, wrong signature, huge declared sizes, endless scans).
#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

#include "online/picture_decode.h"

// The largest single allocation made with new, to show that declared sizes never reach it.
static std::atomic<std::size_t> g_largestNew{0};
void* operator new(std::size_t n) {
  std::size_t seen = g_largestNew.load();
  while (n > seen && !g_largestNew.compare_exchange_weak(seen, n)) {
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::string Fixture(const std::string& name) {
  std::ifstream f(std::string(TESSARO_SOURCE_DIR) + "/tests/fixtures/pictures/" + name, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  EXPECT_FALSE(s.str().empty()) << name;
  return s.str();
}

struct Rgb {
  int r, g, b;
};

Rgb PixelAt(const Picture& p, int x, int y) {
  const std::uint8_t* px = &p.pixels[(static_cast<std::size_t>(y) * p.width + x) * 4];
  EXPECT_EQ(px[3], 255);
  return {px[2], px[1], px[0]};
}

void ExpectColour(const Picture& p, int x, int y, Rgb want, int tolerance, const std::string& what) {
  const Rgb got = PixelAt(p, x, y);
  EXPECT_NEAR(got.r, want.r, tolerance) << what << " at " << x << "," << y;
  EXPECT_NEAR(got.g, want.g, tolerance) << what << " at " << x << "," << y;
  EXPECT_NEAR(got.b, want.b, tolerance) << what << " at " << x << "," << y;
}

bool Decode(const std::string& bytes, Picture& out) {
  switch (DetectPictureFormat(bytes)) {
    case PictureFormat::Png: return DecodePng(bytes, out);
    case PictureFormat::Jpeg: return DecodeJpeg(bytes, out);
    default: return false;
  }
}

TEST(PictureDecode, RealFiles) {
  struct {
    const char* file;
    int w, h;
    Rgb colour;  // of every pixel
    int tolerance;
  } cases[] = {
      {"red_4x3.png", 4, 3, {255, 0, 0}, 0},
      {"blue_6x2.png", 6, 2, {0, 0, 255}, 0},
      {"palette_3x3.png", 3, 3, {255, 255, 0}, 0},
      {"gray16_5x5.png", 5, 5, {128, 128, 128}, 1},
      {"interlaced_9x7.png", 9, 7, {0, 255, 255}, 0},
      {"green_8x8.jpg", 8, 8, {0, 200, 0}, 6},
      {"progressive_8x8.jpg", 8, 8, {0, 200, 0}, 6},
      {"gray_8x8.jpg", 8, 8, {153, 153, 153}, 3},
      {"cmyk_8x8.jpg", 8, 8, {255, 0, 0}, 12},
  };
  for (const auto& c : cases) {
    Picture p;
    ASSERT_TRUE(Decode(Fixture(c.file), p)) << c.file;
    EXPECT_EQ(p.width, c.w) << c.file;
    EXPECT_EQ(p.height, c.h) << c.file;
    ASSERT_EQ(p.pixels.size(), static_cast<std::size_t>(c.w) * c.h * 4) << c.file;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) ExpectColour(p, x, y, c.colour, c.tolerance, c.file);
  }
}

TEST(PictureDecode, TransparencyLiesOverWhite) {
  Picture p;
  ASSERT_TRUE(DecodePng(Fixture("alpha_2x2.png"), p));
  ExpectColour(p, 0, 0, {0, 128, 0}, 0, "opaque");
  ExpectColour(p, 1, 1, {255, 255, 255}, 0, "transparent");
}

TEST(PictureDecode, Signatures) {
  struct {
    const char* file;
    PictureFormat want;
  } cases[] = {
      {"red_4x3.png", PictureFormat::Png},   {"green_8x8.jpg", PictureFormat::Jpeg},
      {"magenta_3x2.bmp", PictureFormat::Bmp}, {"blue_3x2.gif", PictureFormat::Gif},
      {"red_16.ico", PictureFormat::Ico},    {"blue_16.cur", PictureFormat::Cur},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectPictureFormat(Fixture(c.file)), c.want) << c.file;
  for (const std::string& other :
       {std::string(), std::string("<html>404 Not Found</html>"), std::string("\x89PNG", 4),
        std::string("\xff\xd8", 2), std::string("GIF88a"), std::string("\0\0\3\0", 4)})
    EXPECT_EQ(DetectPictureFormat(other), PictureFormat::Unknown) << other;
}

TEST(PictureDecode, WrongSignatureGivesNothing) {
  Picture p;
  std::string png = Fixture("red_4x3.png");
  png[1] = 'Q';
  EXPECT_FALSE(DecodePng(png, p));
  EXPECT_TRUE(p.empty());
  EXPECT_FALSE(DecodePng(Fixture("green_8x8.jpg"), p));
  EXPECT_FALSE(DecodeJpeg(Fixture("red_4x3.png"), p));
  EXPECT_FALSE(DecodeJpeg("<html>404</html>", p));
  EXPECT_FALSE(DecodePng("", p));
  EXPECT_FALSE(DecodeJpeg("", p));
  // A JPEG signature followed by rubbish.
  EXPECT_FALSE(DecodeJpeg(std::string("\xff\xd8\xff\xe0") + std::string(200, 'x'), p));
  EXPECT_TRUE(p.empty());
}

// Every prefix of a file: never a crash; a picture only with the file's own size.
TEST(PictureDecode, CutShortAtEveryLength) {
  for (const char* file : {"red_4x3.png", "interlaced_9x7.png", "gray16_5x5.png", "green_8x8.jpg",
                           "progressive_8x8.jpg", "cmyk_8x8.jpg"}) {
    const std::string whole = Fixture(file);
    Picture full;
    ASSERT_TRUE(Decode(whole, full)) << file;
    int decoded = 0;
    for (std::size_t n = 0; n < whole.size(); ++n) {
      Picture p;
      if (Decode(whole.substr(0, n), p)) {
        ++decoded;
        EXPECT_EQ(p.width, full.width) << file << " cut at " << n;
        EXPECT_EQ(p.height, full.height) << file << " cut at " << n;
        EXPECT_EQ(p.pixels.size(), full.pixels.size()) << file << " cut at " << n;
      } else {
        EXPECT_TRUE(p.empty()) << file << " cut at " << n;
      }
    }
    // Cut after its header, a file still shows what arrived.
    EXPECT_GT(decoded, 0) << file;
  }
  // An interlaced PNG cut short has no whole rows: nothing is shown.
  const std::string inter = Fixture("interlaced_9x7.png");
  Picture p;
  EXPECT_FALSE(DecodePng(inter.substr(0, inter.size() - 20), p));
}

void PutBe32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}

// The PNG with its header claiming another size (the chunk's checksum made right).
std::string PngClaiming(std::uint32_t w, std::uint32_t h) {
  std::string png = Fixture("red_4x3.png");
  PutBe32(png, 16, w);
  PutBe32(png, 20, h);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17);
  PutBe32(png, 29, static_cast<std::uint32_t>(crc));
  return png;
}

// The JPEG with its frame header claiming another size.
std::string JpegClaiming(const char* file, unsigned w, unsigned h) {
  std::string jpg = Fixture(file);
  std::size_t sof = jpg.find("\xff\xc0");
  if (sof == std::string::npos) sof = jpg.find("\xff\xc2");
  EXPECT_NE(sof, std::string::npos);
  jpg[sof + 5] = static_cast<char>(h >> 8);
  jpg[sof + 6] = static_cast<char>(h & 0xFF);
  jpg[sof + 7] = static_cast<char>(w >> 8);
  jpg[sof + 8] = static_cast<char>(w & 0xFF);
  return jpg;
}

TEST(PictureDecode, HugeDeclaredSizesAreRefusedBeforeAllocating) {
  struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"PNG 100000 wide", PngClaiming(100000, 3)},
      {"PNG 8192 x 8192", PngClaiming(8192, 8192)},
      {"PNG 2^31-1 square", PngClaiming(0x7FFFFFFF, 0x7FFFFFFF)},
      {"PNG 0 high", PngClaiming(4, 0)},
      {"JPEG 60000 x 60000", JpegClaiming("green_8x8.jpg", 60000, 60000)},
      {"JPEG 8192 x 4097", JpegClaiming("green_8x8.jpg", 8192, 4097)},
      {"progressive JPEG 65000 x 65000", JpegClaiming("progressive_8x8.jpg", 65000, 65000)},
      {"CMYK JPEG 9000 x 10", JpegClaiming("cmyk_8x8.jpg", 9000, 10)},
  };
  for (const auto& c : cases) {
    g_largestNew = 0;
    Picture p;
    EXPECT_FALSE(Decode(c.bytes, p)) << c.name;
    EXPECT_TRUE(p.empty()) << c.name;
    EXPECT_LT(g_largestNew.load(), 1u << 20) << c.name;
  }
  // Within the limits, a wrong size only spoils the picture.
  Picture p;
  EXPECT_TRUE(PictureSizeAllowed(kMaxPictureSide, kMaxPicturePixels / kMaxPictureSide));
  EXPECT_FALSE(PictureSizeAllowed(kMaxPictureSide + 1, 1));
  EXPECT_FALSE(PictureSizeAllowed(kMaxPictureSide, kMaxPicturePixels / kMaxPictureSide + 1));
  EXPECT_FALSE(PictureSizeAllowed(0, 5));
}

// A progressive JPEG repeating its last scan hundreds of times would keep the decoder busy for as
// long as the file goes on; the number of scans is bounded.
TEST(PictureDecode, EndlessScansAreCutOff) {
  const std::string jpg = Fixture("progressive_8x8.jpg");
  const std::size_t lastScan = jpg.rfind("\xff\xda");
  ASSERT_NE(lastScan, std::string::npos);
  const std::string body = jpg.substr(0, jpg.size() - 2);
  const std::string scan = body.substr(lastScan);
  std::string few = body, many = body;
  for (int i = 0; i < 20; ++i) few += scan;
  for (int i = 0; i < 600; ++i) many += scan;
  few += "\xff\xd9";
  many += "\xff\xd9";
  Picture p;
  EXPECT_TRUE(DecodeJpeg(few, p));
  EXPECT_FALSE(DecodeJpeg(many, p));
  EXPECT_TRUE(p.empty());
}

// Bytes flipped at random places: any result, never a crash.
TEST(PictureDecode, ScrambledBytes) {
  unsigned seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (const char* file : {"red_4x3.png", "palette_3x3.png", "green_8x8.jpg", "progressive_8x8.jpg"}) {
    const std::string whole = Fixture(file);
    for (int round = 0; round < 300; ++round) {
      std::string b = whole;
      for (int k = 0; k < 3; ++k) {
        const std::size_t at = 8 + (next() >> 8) % (b.size() - 8);  // keep the signature
        b[at] = static_cast<char>(next() >> 16);
      }
      Picture p;
      if (Decode(b, p)) {
        EXPECT_TRUE(PictureSizeAllowed(p.width, p.height)) << file;
        EXPECT_EQ(p.pixels.size(), static_cast<std::size_t>(p.width) * p.height * 4) << file;
      }
    }
  }
}

}  // namespace
