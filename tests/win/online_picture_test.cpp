// The picture box's decoding of all six formats (BMP, GIF, ICO and CUR by the platform), damaged
// and hostile bytes, the fitting rule and the box itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "online/picture_box.h"

namespace {

std::string Fixture(const char* name) {
  std::ifstream f(std::string(TESSARO_SOURCE_DIR) + "/tests/fixtures/pictures/" + name, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  EXPECT_FALSE(s.str().empty()) << name;
  return s.str();
}

COLORREF PixelAt(const Picture& p, int x, int y) {
  const std::uint8_t* px = &p.pixels[(static_cast<std::size_t>(y) * p.width + x) * 4];
  return RGB(px[2], px[1], px[0]);
}

void PutLe32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void PutLe16(std::string& s, std::size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}

TEST(PictureBox, DecodesEveryFormat) {
  struct {
    const char* file;
    int w, h;
    COLORREF colour;
    int tolerance;
  } cases[] = {
      {"magenta_3x2.bmp", 3, 2, RGB(255, 0, 255), 0}, {"blue_3x2.gif", 3, 2, RGB(0, 0, 255), 0},
      {"red_16.ico", 16, 16, RGB(255, 0, 0), 0},      {"blue_16.cur", 16, 16, RGB(0, 0, 255), 0},
      {"red_4x3.png", 4, 3, RGB(255, 0, 0), 0},       {"green_8x8.jpg", 8, 8, RGB(0, 200, 0), 6},
      {"alpha_2x2.png", 2, 2, RGB(0, 128, 0), 0},
  };
  for (const auto& c : cases) {
    Picture p;
    ASSERT_TRUE(DecodePicture(Fixture(c.file), p)) << c.file;
    EXPECT_EQ(p.width, c.w) << c.file;
    EXPECT_EQ(p.height, c.h) << c.file;
    ASSERT_EQ(p.pixels.size(), static_cast<std::size_t>(c.w) * c.h * 4);
    const COLORREF got = PixelAt(p, 0, 0);
    EXPECT_NEAR(GetRValue(got), GetRValue(c.colour), c.tolerance) << c.file;
    EXPECT_NEAR(GetGValue(got), GetGValue(c.colour), c.tolerance) << c.file;
    EXPECT_NEAR(GetBValue(got), GetBValue(c.colour), c.tolerance) << c.file;
    for (std::size_t i = 3; i < p.pixels.size(); i += 4) ASSERT_EQ(p.pixels[i], 255) << c.file;
  }
}

TEST(PictureBox, NotAPicture) {
  Picture p;
  for (const std::string& bytes :
       {std::string(), std::string("<html>404 Not Found</html>"), std::string("BM"),
        std::string("GIF89a"), std::string("\0\0\1\0", 4), std::string("\0\0\2\0", 4),
        std::string(1000, '\0'), std::string("II*\0", 4) + std::string(100, 'x')}) {
    EXPECT_FALSE(DecodePicture(bytes, p)) << bytes.size();
    EXPECT_TRUE(p.empty());
  }
  // A valid BMP behind a wrong signature is not looked at.
  std::string bmp = Fixture("magenta_3x2.bmp");
  bmp[0] = 'X';
  EXPECT_FALSE(DecodePicture(bmp, p));
}

TEST(PictureBox, CutShortAtEveryLength) {
  for (const char* file : {"magenta_3x2.bmp", "blue_3x2.gif", "red_16.ico", "blue_16.cur"}) {
    const std::string whole = Fixture(file);
    Picture full;
    ASSERT_TRUE(DecodePicture(whole, full));
    for (std::size_t n = 0; n < whole.size(); ++n) {
      Picture p;
      if (DecodePicture(whole.substr(0, n), p)) {
        EXPECT_EQ(p.width, full.width) << file << " cut at " << n;
        EXPECT_EQ(p.height, full.height) << file << " cut at " << n;
        EXPECT_EQ(p.pixels.size(), full.pixels.size()) << file << " cut at " << n;
      } else {
        EXPECT_TRUE(p.empty());
      }
    }
  }
}

TEST(PictureBox, HugeDeclaredSizesAreRefused) {
  struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"BMP 100000 x 2", [] { std::string b = Fixture("magenta_3x2.bmp"); PutLe32(b, 18, 100000); return b; }()},
      {"BMP 3 x 2000000000",
       [] { std::string b = Fixture("magenta_3x2.bmp"); PutLe32(b, 22, 2000000000); return b; }()},
      {"BMP 8192 x -8192 (top-down)",
       [] { std::string b = Fixture("magenta_3x2.bmp"); PutLe32(b, 18, 8192); PutLe32(b, 22, static_cast<std::uint32_t>(-8192)); return b; }()},
      {"GIF 65535 x 65535",
       [] {
         std::string b = Fixture("blue_3x2.gif");
         PutLe16(b, 6, 65535);
         PutLe16(b, 8, 65535);
         const std::size_t image = b.find(',');  // the image descriptor
         PutLe16(b, image + 5, 65535);
         PutLe16(b, image + 7, 65535);
         return b;
       }()},
      {"ICO image header 60000 x 120000",
       [] {
         std::string b = Fixture("red_16.ico");
         const std::uint32_t at = static_cast<unsigned char>(b[18]) | static_cast<unsigned char>(b[19]) << 8;
         PutLe32(b, at + 4, 60000);
         PutLe32(b, at + 8, 120000);
         return b;
       }()},
      {"ICO entry beyond the file",
       [] { std::string b = Fixture("red_16.ico"); PutLe32(b, 18, 0x7FFFFFF0); return b; }()},
      {"ICO entry of 4 GB", [] { std::string b = Fixture("red_16.ico"); PutLe32(b, 14, 0xFFFFFFFF); return b; }()},
      {"ICO of 65535 entries", [] { std::string b = Fixture("red_16.ico"); PutLe16(b, 4, 65535); return b; }()},
  };
  for (const auto& c : cases) {
    Picture p;
    const bool decoded = DecodePicture(c.bytes, p);
    if (decoded) {
      // Whatever a decoder made of it, it kept to the limits.
      EXPECT_TRUE(PictureSizeAllowed(p.width, p.height)) << c.name;
      EXPECT_EQ(p.pixels.size(), static_cast<std::size_t>(p.width) * p.height * 4) << c.name;
    }
    std::printf("%s: %s\n", c.name, decoded ? "decoded within the limits" : "refused");
  }
  // The sizes beyond the limits are refused outright.
  Picture p;
  EXPECT_FALSE(DecodePicture(cases[0].bytes, p));
  EXPECT_FALSE(DecodePicture(cases[1].bytes, p));
  EXPECT_FALSE(DecodePicture(cases[2].bytes, p));
  EXPECT_FALSE(DecodePicture(cases[3].bytes, p));
}

TEST(PictureBox, Fitting) {
  struct {
    int w, h, cw, ch;
    RECT want;
  } cases[] = {
      {286, 269, 286, 269, {0, 0, 286, 269}},     // the box's own size
      {4, 3, 286, 269, {0, 27, 286, 242}},        // small and wide: enlarged to the width
      {1000, 100, 286, 269, {0, 120, 286, 149}},  // very wide
      {100, 1000, 286, 269, {129, 0, 156, 269}},  // very tall
      {572, 538, 286, 269, {0, 0, 286, 269}},     // twice the size
      {10000, 1, 286, 269, {0, 134, 286, 135}},   // never thinner than a pixel
      {0, 5, 286, 269, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    const RECT r = FitPicture(c.w, c.h, c.cw, c.ch);
    EXPECT_EQ(r.left, c.want.left) << c.w << "x" << c.h;
    EXPECT_EQ(r.top, c.want.top) << c.w << "x" << c.h;
    EXPECT_EQ(r.right, c.want.right) << c.w << "x" << c.h;
    EXPECT_EQ(r.bottom, c.want.bottom) << c.w << "x" << c.h;
  }
}

// The box on its own: bytes in, picture replaced or removed, the press reported to the parent.
TEST(PictureBox, Control) {
  RegisterPictureBoxClass();
  static int presses = 0;
  static HWND pressed = nullptr;
  WNDCLASSW wc{};
  wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_COMMAND && HIWORD(w) == STN_CLICKED && LOWORD(w) == 77) {
      ++presses;
      pressed = reinterpret_cast<HWND>(l);
    }
    return DefWindowProcW(h, m, w, l);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"PictureBoxTestParent";
  RegisterClassW(&wc);
  HWND parent = CreateWindowExW(0, L"PictureBoxTestParent", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                400, 400, nullptr, nullptr, wc.hInstance, nullptr);
  HWND box = CreateWindowExW(0, L"TessaroPicture", L"", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 10, 10, 286,
                             269, parent, reinterpret_cast<HMENU>(77), wc.hInstance, nullptr);
  ASSERT_TRUE(box);
  EXPECT_EQ(PictureOf(box), nullptr);
  SetPictureBytes(box, Fixture("red_16.ico"));
  ASSERT_NE(PictureOf(box), nullptr);
  EXPECT_EQ(PictureOf(box)->width, 16);
  SetPictureBytes(box, Fixture("blue_3x2.gif"));
  EXPECT_EQ(PictureOf(box)->width, 3);
  SetPictureBytes(box, "not a picture");
  EXPECT_EQ(PictureOf(box), nullptr);
  SetPictureBytes(box, Fixture("magenta_3x2.bmp"));
  SetPictureBytes(box, "");
  EXPECT_EQ(PictureOf(box), nullptr);
  // Reported on the press; the release adds nothing.
  SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(pressed, box);
  SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(presses, 1);
  DestroyWindow(parent);
}

}  // namespace
