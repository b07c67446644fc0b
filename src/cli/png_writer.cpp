#include "cli/png_writer.h"

#include <spng.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tovasel::cli {
namespace {

struct TContextFree {
  void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using TContext = std::unique_ptr<spng_ctx, TContextFree>;

int WriteToStream(spng_ctx*, void* user, void* data, std::size_t length) {
  auto& out = *static_cast<std::ostream*>(user);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(length));
  return out ? 0 : SPNG_IO_ERROR;
}

// Raises libspng's reason, unless the stream failed: that failure is the
// stream owner's to report, with the name of the file it was writing.
// Returns true when the writer should stop quietly.
bool StopOn(int result, const std::ostream& out) {
  if (result == 0) return false;
  if (!out) return true;
  throw std::runtime_error(std::string("PNG encoder: ") + spng_strerror(result));
}

// Writes header, palette (when given) and rows; row(y) gives picture row y
// counted from the top, width × bytes-per-pixel bytes long.
void Encode(std::ostream& out, spng_ihdr header, spng_plte* palette, std::size_t rowBytes,
            const std::function<const std::uint8_t*(int y)>& row) {
  TContext context(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!context) throw std::bad_alloc();
  if (StopOn(spng_set_png_stream(context.get(), WriteToStream, &out), out)) return;
  if (StopOn(spng_set_ihdr(context.get(), &header), out)) return;
  if (palette != nullptr && StopOn(spng_set_plte(context.get(), palette), out)) return;
  // Row by row, so that no second copy of the picture is made.
  if (StopOn(spng_encode_image(context.get(), nullptr, 0, SPNG_FMT_PNG,
                               SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE),
             out)) {
    return;
  }
  for (int y = 0; y < static_cast<int>(header.height); ++y) {
    const int result = spng_encode_row(context.get(), row(y), rowBytes);
    // The last row finishes the file and answers "end of image".
    if (result == SPNG_EOI && y + 1 == static_cast<int>(header.height)) return;
    if (StopOn(result, out)) return;
  }
}

spng_ihdr Header(int width, int height, std::uint8_t colourType) {
  if (width <= 0 || height <= 0) throw std::runtime_error("PNG encoder: a picture without pixels");
  spng_ihdr header{};
  header.width = static_cast<std::uint32_t>(width);
  header.height = static_cast<std::uint32_t>(height);
  header.bit_depth = 8;
  header.color_type = colourType;
  return header;
}

}  // namespace

void WriteIndexedPng(std::ostream& out, const TFlicSurface& surface) {
  spng_plte palette{};
  palette.n_entries = 256;
  const auto& colours = surface.ColorTable();
  for (std::size_t i = 0; i < colours.size(); ++i) {
    palette.entries[i].red = colours[i].rgbRed;
    palette.entries[i].green = colours[i].rgbGreen;
    palette.entries[i].blue = colours[i].rgbBlue;
  }
  Encode(out, Header(surface.Width(), surface.Height(), SPNG_COLOR_TYPE_INDEXED), &palette,
         static_cast<std::size_t>(surface.Width()), [&surface](int y) { return surface.PictureRow(y); });
}

void WriteRgbPng(std::ostream& out, const TBitmap& bitmap) {
  if (bitmap.PixelFormat() != TPixelFormat::pf24bit) {
    throw std::logic_error("WriteRgbPng takes 24-bit bitmaps only");
  }
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.Width()) * 3;
  // Bitmap rows hold blue, green, red; PNG wants red, green, blue.
  std::vector<std::uint8_t> swapped(rowBytes);
  Encode(out, Header(bitmap.Width(), bitmap.Height(), SPNG_COLOR_TYPE_TRUECOLOR), nullptr, rowBytes,
         [&bitmap, &swapped](int y) {
           const std::uint8_t* source = bitmap.ScanLine(y);
           for (std::size_t i = 0; i < swapped.size(); i += 3) {
             swapped[i] = source[i + 2];
             swapped[i + 1] = source[i + 1];
             swapped[i + 2] = source[i];
           }
           return static_cast<const std::uint8_t*>(swapped.data());
         });
}

}  // namespace tovasel::cli
