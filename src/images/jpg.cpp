#include "images/jpg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct jpeg_failure {
  jpeg_error_mgr mgr;               // first member: libjpeg hands us a pointer to it
  std::jmp_buf back;                // where a fatal error returns to
};

[[noreturn]] void on_error(j_common_ptr c) {
  std::longjmp(reinterpret_cast<jpeg_failure*>(c->err)->back, 1);
}

// A warning means damaged data (a premature end, a corrupt stream): stop at once
// rather than decode the rest of a picture that will be refused anyway.
void on_message(j_common_ptr c, int level) {
  if (level < 0) on_error(c);
}

void silent(j_common_ptr) {}

// Reads header and pixels into `out`, which the caller created before; returns
// false on any libjpeg error or warning. Only libjpeg's own frames lie between setjmp and
// a longjmp.
bool run_decoder(jpeg_decompress_struct& cinfo, jpeg_failure& fail, byte_span data, rgba_image& out) {
  if (setjmp(fail.back)) return false;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data.data(), (unsigned long)data.size());
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
  cinfo.out_color_space = JCS_EXT_RGBA;
  if (!allocate_image(out, cinfo.image_width, cinfo.image_height, image_jpeg, data.size())) return false;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width != unsigned(out.width) || cinfo.output_height != unsigned(out.height) ||
      cinfo.output_components != 4)
    return false;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = &out.pixels[size_t(cinfo.output_scanline) * out.width * 4];
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

bool decode_jpeg(byte_span data, rgba_image& out) {
  jpeg_decompress_struct cinfo{};
  jpeg_failure fail{};
  cinfo.err = jpeg_std_error(&fail.mgr);
  fail.mgr.error_exit = on_error;
  fail.mgr.emit_message = on_message;
  fail.mgr.output_message = silent;
  const bool ok = run_decoder(cinfo, fail, data, out);
  jpeg_destroy_decompress(&cinfo);
  return ok;
}
