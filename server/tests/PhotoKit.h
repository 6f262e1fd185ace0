// Real JPEG files for the photo tests, encoded by libjpeg.
#pragma once

#include <jpeglib.h>

#include <cstdio>
#include <string>
#include <vector>

namespace braxo::club::test {

// A grey gradient of `width` × `height`; `comment_bytes` of padding make a
// larger file of the same picture.
inline std::string MakeJpeg(int width, int height, bool progressive = false,
                            std::size_t comment_bytes = 0) {
  jpeg_compress_struct c{};
  jpeg_error_mgr errors{};
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = static_cast<JDIMENSION>(width);
  c.image_height = static_cast<JDIMENSION>(height);
  c.input_components = 1;
  c.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  if (progressive) jpeg_simple_progression(&c);
  jpeg_start_compress(&c, TRUE);
  for (std::size_t left = comment_bytes; left > 0;) {
    const std::size_t part = std::min<std::size_t>(left, 65000);
    const std::string text(part, 'x');
    jpeg_write_marker(&c, JPEG_COM, reinterpret_cast<const JOCTET*>(text.data()),
                      static_cast<unsigned>(part));
    left -= part;
  }
  std::vector<unsigned char> row(static_cast<std::size_t>(width));
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < width; ++x)
      row[static_cast<std::size_t>(x)] = static_cast<unsigned char>((x + c.next_scanline) & 0xFF);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::string bytes(reinterpret_cast<const char*>(out), size);
  free(out);
  return bytes;
}

}  // namespace braxo::club::test
