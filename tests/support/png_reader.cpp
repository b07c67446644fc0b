#include "support/png_reader.h"

#include <spng.h>

#include <memory>

#include "support/program_run.h"

namespace tovasel::testing {

TDecodedPng ReadPng(const std::filesystem::path& path) {
  TDecodedPng png;
  const std::string bytes = ReadText(path);
  std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)> context(spng_ctx_new(0), spng_ctx_free);
  spng_ihdr header{};
  std::size_t size = 0;
  int result = spng_set_png_buffer(context.get(), bytes.data(), bytes.size());
  if (result == 0) result = spng_get_ihdr(context.get(), &header);
  if (result == 0) result = spng_decoded_image_size(context.get(), SPNG_FMT_RGB8, &size);
  if (result == 0) {
    png.Rgb.resize(size);
    result = spng_decode_image(context.get(), png.Rgb.data(), size, SPNG_FMT_RGB8, 0);
  }
  if (result != 0) {
    png.Error = spng_strerror(result);
    png.Rgb.clear();
    return png;
  }
  png.Width = header.width;
  png.Height = header.height;
  png.BitDepth = header.bit_depth;
  png.ColourType = header.color_type;
  return png;
}

}  // namespace tovasel::testing
