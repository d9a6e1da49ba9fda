// JPEG reading and writing over libjpeg (libjpeg-turbo). A libjpeg error makes the operation
// fail; the longjmp out of libjpeg lands in a frame that holds no C++ objects.
// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "images/codec_internal.h"

namespace images::detail {
namespace {

// A progressive file may hold any number of scans; real files have a few dozen.
constexpr int kMaxScans = 500;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void IgnoreMessage(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) ErrorExit(cinfo);
}

void InitErrors(ErrorManager& errors) {
  jpeg_std_error(&errors.pub);
  errors.pub.error_exit = ErrorExit;
  errors.pub.output_message = IgnoreMessage;
}

// Adobe CMYK (and YCCK decoded to CMYK) is stored inverted: colour = c * k / 255.
void CmykRowToBgr(const uint8_t* cmyk, int32_t width, uint8_t* bgr) {
  for (int32_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const uint32_t k = cmyk[3];
    bgr[0] = static_cast<uint8_t>(cmyk[2] * k / 255);
    bgr[1] = static_cast<uint8_t>(cmyk[1] * k / 255);
    bgr[2] = static_cast<uint8_t>(cmyk[0] * k / 255);
  }
}

struct DecodeState {
  jpeg_decompress_struct cinfo;
  jpeg_progress_mgr progress;
  ErrorManager errors;
  Image image;
  std::vector<uint8_t> cmykRow;
  int32_t orientation = 1;
};

// The orientation of the first EXIF block among the saved APP1 segments.
int32_t OrientationOf(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker == JPEG_APP0 + 1 && m->data_length >= 6 &&
        std::memcmp(m->data, "Exif\0\0", 6) == 0) {
      return ExifOrientation(m->data, m->data_length);
    }
  }
  return 1;
}

// The smallest n/8 scale that keeps both sides at or above the minimum.
void ChooseScale(jpeg_decompress_struct& cinfo, int32_t minWidth, int32_t minHeight) {
  if (minWidth <= 0 && minHeight <= 0) return;
  for (unsigned n = 1; n <= 8; ++n) {
    if (static_cast<uint64_t>(cinfo.image_width) * n >= static_cast<uint64_t>(minWidth) * 8 &&
        static_cast<uint64_t>(cinfo.image_height) * n >= static_cast<uint64_t>(minHeight) * 8) {
      cinfo.scale_num = n;
      cinfo.scale_denom = 8;
      return;
    }
  }
}

bool RunDecode(DecodeState& s, const uint8_t* data, size_t size, int32_t minWidth,
               int32_t minHeight) {
  if (setjmp(s.errors.jump)) return false;
  jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
  jpeg_save_markers(&s.cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&s.cinfo, TRUE);
  s.orientation = OrientationOf(s.cinfo);
  const bool cmyk = s.cinfo.jpeg_color_space == JCS_CMYK || s.cinfo.jpeg_color_space == JCS_YCCK;
  s.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  // A picture turned on its side later needs the minimum for its stored sides swapped.
  if (s.orientation >= 5) {
    ChooseScale(s.cinfo, minHeight, minWidth);
  } else {
    ChooseScale(s.cinfo, minWidth, minHeight);
  }
  jpeg_calc_output_dimensions(&s.cinfo);
  if (!AllocateImage(s.image, static_cast<int32_t>(s.cinfo.output_width),
                     static_cast<int32_t>(s.cinfo.output_height), 24)) {
    return false;
  }
  // Whole-image buffers of progressive files count against the same limit.
  s.cinfo.mem->max_memory_to_use =
      static_cast<long>(std::min<size_t>(2 * PixelByteLimit(), LONG_MAX));
  jpeg_start_decompress(&s.cinfo);
  if (cmyk) s.cmykRow.resize(static_cast<size_t>(s.image.width) * 4);
  while (s.cinfo.output_scanline < s.cinfo.output_height) {
    const int32_t y = static_cast<int32_t>(s.cinfo.output_scanline);
    JSAMPROW row = cmyk ? s.cmykRow.data() : s.image.TopRow(y);
    if (jpeg_read_scanlines(&s.cinfo, &row, 1) != 1) return false;
    if (cmyk) CmykRowToBgr(s.cmykRow.data(), s.image.width, s.image.TopRow(y));
  }
  jpeg_finish_decompress(&s.cinfo);
  return true;
}

struct EncodeState {
  jpeg_compress_struct cinfo;
  ErrorManager errors;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

bool RunEncode(EncodeState& s, const Image& image, int quality) {
  if (setjmp(s.errors.jump)) return false;
  jpeg_mem_dest(&s.cinfo, &s.buffer, &s.size);
  s.cinfo.image_width = static_cast<JDIMENSION>(image.width);
  s.cinfo.image_height = static_cast<JDIMENSION>(image.height);
  // The bitmap's byte order, turned into RGB by libjpeg; a fourth byte is skipped.
  s.cinfo.input_components = image.depth / 8;
  s.cinfo.in_color_space = image.depth == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&s.cinfo);
  jpeg_set_quality(&s.cinfo, quality, TRUE);
  jpeg_start_compress(&s.cinfo, TRUE);
  while (s.cinfo.next_scanline < s.cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(image.TopRow(static_cast<int32_t>(s.cinfo.next_scanline)));
    jpeg_write_scanlines(&s.cinfo, &row, 1);
  }
  jpeg_finish_compress(&s.cinfo);
  return true;
}

}  // namespace

bool ProbeJpeg(const uint8_t* data, size_t size) {
  return size >= 2 && data[0] == 0xFF && data[1] == 0xD8;
}

bool DecodeJpegAtLeast(const uint8_t* data, size_t size, int32_t minWidth, int32_t minHeight,
                       Image& out) {
  if (!ProbeJpeg(data, size)) return false;
  DecodeState s;
  InitErrors(s.errors);
  s.cinfo.err = &s.errors.pub;
  jpeg_create_decompress(&s.cinfo);
  s.progress.progress_monitor = LimitScans;
  s.cinfo.progress = &s.progress;
  const bool ok = RunDecode(s, data, size, minWidth, minHeight);
  jpeg_destroy_decompress(&s.cinfo);
  // Turned after the reduced-scale decoding, so that a large photo is turned at its small size.
  if (!ok || !TurnUpright(s.image, s.orientation)) return false;
  s.image.codec = kTagJpeg;
  out = std::move(s.image);
  return true;
}

bool DecodeJpeg(const uint8_t* data, size_t size, Image& out) {
  return DecodeJpegAtLeast(data, size, 0, 0, out);
}

bool WriteJpeg24(const Image& image, int32_t quality, int32_t, std::vector<uint8_t>& out) {
  if ((image.depth != 24 && image.depth != 32) || image.width < 1 || image.height < 1) {
    return false;
  }
  EncodeState s;
  InitErrors(s.errors);
  s.cinfo.err = &s.errors.pub;
  jpeg_create_compress(&s.cinfo);
  const bool ok = RunEncode(s, image, std::clamp(quality, 0, 10) * 10);
  jpeg_destroy_compress(&s.cinfo);
  if (ok) out.assign(s.buffer, s.buffer + s.size);
  std::free(s.buffer);
  return ok;
}

}  // namespace images::detail
