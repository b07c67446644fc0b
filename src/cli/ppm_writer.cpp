#include "cli/ppm_writer.h"

#include <fstream>
#include <string>
#include <vector>

namespace tovasel::cli {

bool WritePpm(const std::filesystem::path& path, const TBitmap& bitmap) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << "P6\n" << bitmap.Width() << ' ' << bitmap.Height() << "\n255\n";
  std::vector<char> row(static_cast<std::size_t>(bitmap.Width()) * 3);
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::uint8_t* src = bitmap.ScanLine(y);
    // Bitmap rows hold blue, green, red; PPM wants red, green, blue.
    for (std::size_t i = 0; i < row.size(); i += 3) {
      row[i] = static_cast<char>(src[i + 2]);
      row[i + 1] = static_cast<char>(src[i + 1]);
      row[i + 2] = static_cast<char>(src[i]);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  return static_cast<bool>(out.flush());
}

}  // namespace tovasel::cli
