/* Preloaded into the designer by a GUI test: every deflate stream fails to
   start, as it would without memory, so the zip writer raises its error. */
#include <zlib.h>

int deflateInit2_(z_streamp strm, int level, int method, int window_bits, int mem_level, int strategy,
                  const char* version, int stream_size) {
  (void)strm, (void)level, (void)method, (void)window_bits, (void)mem_level, (void)strategy, (void)version,
      (void)stream_size;
  return Z_MEM_ERROR;
}
