#include <algorithm>
#include <stdexcept>

#include "flic_writer.h"

namespace tovasel::flicwriter {
namespace {

void Append16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

std::vector<std::uint8_t> ColourPayload(const std::vector<TColourPacket>& packets, int shift) {
  std::vector<std::uint8_t> out;
  Append16(out, static_cast<std::uint16_t>(packets.size()));
  for (const TColourPacket& p : packets) {
    if (p.Colours.empty() || p.Colours.size() > 256) throw std::invalid_argument("colour packet of 1..256");
    out.push_back(p.Skip);
    out.push_back(static_cast<std::uint8_t>(p.Colours.size() & 0xFF));  // 256 is written as 0
    for (const TRgb& c : p.Colours) {
      out.push_back(static_cast<std::uint8_t>(c.Red >> shift));
      out.push_back(static_cast<std::uint8_t>(c.Green >> shift));
      out.push_back(static_cast<std::uint8_t>(c.Blue >> shift));
    }
  }
  return out;
}

void CheckSameSize(const TIndexedPicture& a, const TIndexedPicture& b) {
  if (a.Width != b.Width || a.Height != b.Height) throw std::invalid_argument("pictures differ in size");
}

// Length of the run of equal values starting at p, at most `limit`.
int RunLength(const std::uint8_t* p, int n, int limit) {
  int len = 1;
  while (len < n && len < limit && p[len] == p[0]) ++len;
  return len;
}

}  // namespace

std::vector<std::uint8_t> Color256Payload(const std::vector<TColourPacket>& packets) {
  return ColourPayload(packets, 0);
}
std::vector<std::uint8_t> Color64Payload(const std::vector<TColourPacket>& packets) {
  return ColourPayload(packets, 2);
}
std::vector<std::uint8_t> AllColours256(const TColours& colours) {
  return Color256Payload({TColourPacket{0, {colours.begin(), colours.end()}}});
}
std::vector<std::uint8_t> AllColours64(const TColours& colours) {
  return Color64Payload({TColourPacket{0, {colours.begin(), colours.end()}}});
}

std::vector<std::uint8_t> ByteRunPayload(const TIndexedPicture& picture) {
  std::vector<std::uint8_t> out;
  for (int y = 0; y < picture.Height; ++y) {
    const std::uint8_t* row = picture.Row(y);
    const std::size_t countAt = out.size();
    out.push_back(0);
    int packets = 0;
    int x = 0;
    while (x < picture.Width) {
      const int run = RunLength(row + x, picture.Width - x, 127);
      if (run >= 3) {
        out.push_back(static_cast<std::uint8_t>(run));
        out.push_back(row[x]);
        x += run;
      } else {
        // Literal up to the next run of three or 128 bytes.
        int len = 0;
        while (x + len < picture.Width && len < 128 && RunLength(row + x + len, picture.Width - x - len, 3) < 3)
          ++len;
        if (len == 0) len = 1;
        out.push_back(static_cast<std::uint8_t>(-len));
        out.insert(out.end(), row + x, row + x + len);
        x += len;
      }
      ++packets;
    }
    out[countAt] = static_cast<std::uint8_t>(packets > 255 ? 255 : packets);
  }
  return out;
}

std::vector<std::uint8_t> CopyPayload(const TIndexedPicture& picture) { return picture.Pixels; }

std::vector<std::uint8_t> DeltaFliPayload(const TIndexedPicture& from, const TIndexedPicture& to) {
  CheckSameSize(from, to);
  int first = -1;
  int last = -1;
  for (int y = 0; y < to.Height; ++y) {
    if (!std::equal(from.Row(y), from.Row(y) + to.Width, to.Row(y))) {
      if (first < 0) first = y;
      last = y;
    }
  }
  if (first < 0) return {};
  std::vector<std::uint8_t> out;
  Append16(out, static_cast<std::uint16_t>(first));
  Append16(out, static_cast<std::uint16_t>(last - first + 1));
  for (int y = first; y <= last; ++y) {
    const std::uint8_t* a = from.Row(y);
    const std::uint8_t* b = to.Row(y);
    std::vector<std::uint8_t> packets;
    int count = 0;
    int x = 0;
    int pos = 0;  // where the decoder's x stands
    while (true) {
      while (x < to.Width && a[x] == b[x]) ++x;
      if (x >= to.Width) break;
      while (x - pos > 255) {  // a gap longer than one skip byte: empty packets
        packets.insert(packets.end(), {255, 0});
        pos += 255;
        ++count;
      }
      const int skip = x - pos;
      const int run = RunLength(b + x, to.Width - x, 128);
      packets.push_back(static_cast<std::uint8_t>(skip));
      if (run >= 3) {
        packets.push_back(static_cast<std::uint8_t>(-run));
        packets.push_back(b[x]);
        x += run;
      } else {
        int len = 0;
        while (x + len < to.Width && len < 127 && a[x + len] != b[x + len]) ++len;
        packets.push_back(static_cast<std::uint8_t>(len));
        packets.insert(packets.end(), b + x, b + x + len);
        x += len;
      }
      pos = x;
      ++count;
    }
    if (count > 255) {
      // Too many packets for the count byte: send the whole row as literals.
      packets.clear();
      count = 0;
      for (int px = 0; px < to.Width; px += 127, ++count) {
        const int len = std::min(127, to.Width - px);
        packets.push_back(0);
        packets.push_back(static_cast<std::uint8_t>(len));
        packets.insert(packets.end(), b + px, b + px + len);
      }
      if (count > 255) throw std::invalid_argument("row too wide for DELTA_FLI");
    }
    out.push_back(static_cast<std::uint8_t>(count));
    out.insert(out.end(), packets.begin(), packets.end());
  }
  return out;
}

std::vector<std::uint8_t> DeltaFlcPayload(const TIndexedPicture& from, const TIndexedPicture& to) {
  CheckSameSize(from, to);
  const int words = to.Width / 2;
  const bool oddWidth = (to.Width & 1) != 0;
  std::vector<std::uint8_t> out(2, 0);
  int lines = 0;
  int skipped = 0;
  for (int y = 0; y < to.Height; ++y) {
    const std::uint8_t* a = from.Row(y);
    const std::uint8_t* b = to.Row(y);
    if (std::equal(a, a + to.Width, b)) {
      ++skipped;
      continue;
    }
    // Line skips: each opcode must read as a word of 0xA000 or more.
    while (skipped > 0) {
      const int n = std::min(skipped, 0x6000);
      Append16(out, static_cast<std::uint16_t>(-n));
      skipped -= n;
    }
    if (oddWidth) Append16(out, static_cast<std::uint16_t>(0x8000 | b[to.Width - 1]));

    std::vector<std::uint8_t> packets;
    int count = 0;
    auto wordChanged = [&](int w) { return a[2 * w] != b[2 * w] || a[2 * w + 1] != b[2 * w + 1]; };
    auto sameWord = [&](int w, int v) { return b[2 * w] == b[2 * v] && b[2 * w + 1] == b[2 * v + 1]; };
    int pos = 0;  // decoder's x in bytes
    auto skipTo = [&](int target) {
      while (target - pos > 254) {
        packets.insert(packets.end(), {254, 0});
        pos += 254;
        ++count;
      }
    };
    int w = 0;
    while (true) {
      while (w < words && !wordChanged(w)) ++w;
      if (w >= words) break;
      skipTo(2 * w);
      packets.push_back(static_cast<std::uint8_t>(2 * w - pos));
      int run = 1;
      while (w + run < words && run < 128 && sameWord(w + run, w)) ++run;
      if (run >= 3) {
        packets.push_back(static_cast<std::uint8_t>(-run));
        packets.push_back(b[2 * w]);
        packets.push_back(b[2 * w + 1]);
        w += run;
      } else {
        int len = 0;
        while (w + len < words && len < 127 && wordChanged(w + len)) ++len;
        packets.push_back(static_cast<std::uint8_t>(len));
        packets.insert(packets.end(), b + 2 * w, b + 2 * (w + len));
        w += len;
      }
      pos = 2 * w;
      ++count;
    }
    if (oddWidth) {
      // The last byte lands where the packets end: walk on to the last column.
      skipTo(to.Width - 1);
      if (pos < to.Width - 1) {
        packets.insert(packets.end(), {static_cast<std::uint8_t>(to.Width - 1 - pos), 0});
        ++count;
      }
    }
    if (count >= 0x2000) throw std::invalid_argument("row too wide for DELTA_FLC");
    Append16(out, static_cast<std::uint16_t>(count));
    out.insert(out.end(), packets.begin(), packets.end());
    ++lines;
  }
  if (lines == 0) return {};
  out[0] = static_cast<std::uint8_t>(lines);
  out[1] = static_cast<std::uint8_t>(lines >> 8);
  return out;
}

}  // namespace tovasel::flicwriter
