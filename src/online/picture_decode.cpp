#include "online/picture_decode.h"

#include <cstdio>  // jpeglib.h needs FILE
#include <csetjmp>
#include <cstring>
#include <new>

#include <jpeglib.h>
#include <png.h>

bool PictureSizeAllowed(std::uint64_t width, std::uint64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

void LayOverWhite(Picture& p) {
  for (std::size_t i = 0; i + 3 < p.pixels.size(); i += 4) {
    const unsigned a = p.pixels[i + 3];
    if (a == 255) continue;
    for (int c = 0; c < 3; ++c)
      p.pixels[i + c] = static_cast<std::uint8_t>((p.pixels[i + c] * a + 255u * (255u - a) + 127u) / 255u);
    p.pixels[i + 3] = 255;
  }
}

PictureFormat DetectPictureFormat(const std::string& b) {
  auto starts = [&b](const char* sig, std::size_t n) {
    return b.size() >= n && std::memcmp(b.data(), sig, n) == 0;
  };
  if (starts("\x89PNG\r\n\x1a\n", 8)) return PictureFormat::Png;
  if (starts("\xff\xd8\xff", 3)) return PictureFormat::Jpeg;
  if (starts("BM", 2)) return PictureFormat::Bmp;
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return PictureFormat::Gif;
  if (starts("\0\0\1\0", 4)) return PictureFormat::Ico;
  if (starts("\0\0\2\0", 4)) return PictureFormat::Cur;
  return PictureFormat::Unknown;
}

namespace {

// White, opaque: what a picture shows where nothing was decoded.
bool AllocateWhite(Picture& out, std::uint32_t width, std::uint32_t height) {
  if (!PictureSizeAllowed(width, height)) return false;
  try {
    out.pixels.assign(static_cast<std::size_t>(width) * height * 4, 0xFF);
  } catch (const std::bad_alloc&) {
    return false;
  }
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(height);
  return true;
}

// ---- PNG ----

struct PngInput {
  const unsigned char* data;
  std::size_t size, pos;
  // What the decode reached; kept outside the setjmp frame so it survives the jump.
  bool headerRead;
  bool interlaced;
  std::uint32_t rowsDone;
};

void PngRead(png_structp png, png_bytep out, png_size_t n) {
  PngInput* in = static_cast<PngInput*>(png_get_io_ptr(png));
  if (n > in->size - in->pos) png_error(png, "truncated");
  std::memcpy(out, in->data + in->pos, n);
  in->pos += n;
}

void PngFail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngIgnoreWarning(png_structp, png_const_charp) {}

// Holds no C++ objects of its own, since libpng leaves it by longjmp.
bool ReadPngInto(png_structp png, png_infop info, PngInput* in, Picture* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, in, PngRead);
  png_set_user_limits(png, kMaxPictureSide, kMaxPictureSide);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (!PictureSizeAllowed(width, height)) return false;

  // Everything becomes 8-bit blue, green, red, alpha.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) return false;
  if (!AllocateWhite(*out, width, height)) return false;
  in->headerRead = true;
  in->interlaced = passes > 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) {
      png_read_row(png, out->pixels.data() + static_cast<std::size_t>(y) * width * 4, nullptr);
      if (pass == 0) in->rowsDone = y + 1;
    }
  }
  return true;
}

// ---- JPEG ----

struct JpegErrors {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void JpegFail(j_common_ptr c) { longjmp(reinterpret_cast<JpegErrors*>(c->err)->jump, 1); }
void JpegQuiet(j_common_ptr) {}

// A progressive file can hold any number of scans, each a pass over the whole picture.
constexpr int kMaxJpegScans = 500;
void JpegProgress(j_common_ptr c) {
  if (c->is_decompressor && reinterpret_cast<j_decompress_ptr>(c)->input_scan_number > kMaxJpegScans)
    JpegFail(c);
}

struct JpegProgressState {
  bool started;
  JDIMENSION rowsDone;
};

inline std::uint8_t Mul255(unsigned a, unsigned b) { return static_cast<std::uint8_t>((a * b + 127u) / 255u); }

bool ReadJpegInto(jpeg_decompress_struct* cinfo, JpegErrors* errors, jpeg_progress_mgr* progress,
                  const std::string* bytes, JpegProgressState* state, Picture* out) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_decompress(cinfo);
  state->started = true;
  cinfo->progress = progress;
  cinfo->mem->max_memory_to_use = 256L * 1024 * 1024;
  jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes->data()),
               static_cast<unsigned long>(bytes->size()));
  jpeg_read_header(cinfo, TRUE);
  if (!PictureSizeAllowed(cinfo->image_width, cinfo->image_height)) return false;
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  const bool gray = cinfo->jpeg_color_space == JCS_GRAYSCALE;
  cinfo->out_color_space = cmyk ? JCS_CMYK : gray ? JCS_GRAYSCALE : JCS_RGB;
  // Adobe's CMYK files keep the inks inverted.
  const bool inverted = cmyk && cinfo->saw_Adobe_marker;
  jpeg_start_decompress(cinfo);
  const int comps = cinfo->output_components;
  if (comps != (cmyk ? 4 : gray ? 1 : 3) || cinfo->output_width != cinfo->image_width ||
      cinfo->output_height != cinfo->image_height)
    return false;
  if (!AllocateWhite(*out, cinfo->output_width, cinfo->output_height)) return false;
  const JDIMENSION w = cinfo->output_width;
  JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                               w * static_cast<JDIMENSION>(comps), 1);
  while (cinfo->output_scanline < cinfo->output_height) {
    const JDIMENSION y = cinfo->output_scanline;
    if (jpeg_read_scanlines(cinfo, row, 1) != 1) break;
    std::uint8_t* dst = out->pixels.data() + static_cast<std::size_t>(y) * w * 4;
    const JSAMPLE* src = row[0];
    for (JDIMENSION x = 0; x < w; ++x, dst += 4, src += comps) {
      if (gray) {
        dst[0] = dst[1] = dst[2] = src[0];
      } else if (cmyk) {
        const unsigned c = src[0], m = src[1], yl = src[2], k = src[3];
        const unsigned ik = inverted ? k : 255 - k;
        dst[2] = Mul255(inverted ? c : 255 - c, ik);
        dst[1] = Mul255(inverted ? m : 255 - m, ik);
        dst[0] = Mul255(inverted ? yl : 255 - yl, ik);
      } else {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
    }
    state->rowsDone = y + 1;
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

bool DecodePng(const std::string& bytes, Picture& out) {
  out = Picture();
  if (DetectPictureFormat(bytes) != PictureFormat::Png) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngIgnoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  PngInput in{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, false, false, 0};
  bool ok = ReadPngInto(png, info, &in, &out);
  png_destroy_read_struct(&png, &info, nullptr);
  // A file cut short keeps the rows that arrived; an interlaced one has no whole rows to keep.
  if (!ok && in.headerRead && !in.interlaced && in.rowsDone > 0) ok = true;
  if (!ok) {
    out = Picture();
    return false;
  }
  LayOverWhite(out);
  return true;
}

bool DecodeJpeg(const std::string& bytes, Picture& out) {
  out = Picture();
  if (DetectPictureFormat(bytes) != PictureFormat::Jpeg || bytes.size() > 0x7FFFFFFF) return false;
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.mgr);
  errors.mgr.error_exit = JpegFail;
  errors.mgr.output_message = JpegQuiet;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = JpegProgress;
  JpegProgressState state{false, 0};
  bool ok = ReadJpegInto(&cinfo, &errors, &progress, &bytes, &state, &out);
  if (state.started) jpeg_destroy_decompress(&cinfo);
  if (!ok && state.rowsDone > 0) ok = true;
  if (!ok) {
    out = Picture();
    return false;
  }
  return true;
}
