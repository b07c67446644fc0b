#include "cli/ppm_writer.h"

#include <vector>

namespace tovasel::cli {

void WritePpm(std::ostream& out, const TBitmap& bitmap) {
  out << "P6\n" << bitmap.Width() << ' ' << bitmap.Height() << "\n255\n";
  std::vector<char> row(static_cast<std::size_t>(bitmap.Width()) * 3);
  for (int y = 0; y < bitmap.Height() && out; ++y) {
    const std::uint8_t* src = bitmap.ScanLine(y);
    // Bitmap rows hold blue, green, red; PPM wants red, green, blue.
    for (std::size_t i = 0; i < row.size(); i += 3) {
      row[i] = static_cast<char>(src[i + 2]);
      row[i + 1] = static_cast<char>(src[i + 1]);
      row[i + 2] = static_cast<char>(src[i]);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
}

}  // namespace tovasel::cli
