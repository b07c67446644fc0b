#include <fstream>
#include <stdexcept>

#include "flic_writer.h"

namespace tovasel::flicwriter {
namespace {

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void Append16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Append32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::size_t FrameBytes(const TFrame& frame) {
  std::size_t n = 16;
  for (const TChunk& c : frame.Chunks) n += 6 + c.Payload.size();
  return n;
}

}  // namespace

std::uint32_t FrameOffset(const TFlicLayout& layout, std::size_t index) {
  std::size_t offset = 128;
  for (std::size_t i = 0; i < index && i < layout.Frames.size(); ++i) offset += FrameBytes(layout.Frames[i]);
  return static_cast<std::uint32_t>(offset);
}

std::vector<std::uint8_t> Serialize(const TFlicLayout& layout) {
  std::vector<std::uint8_t> out(128, 0);
  for (const TFrame& frame : layout.Frames) {
    Append32(out, frame.SizeOverride.value_or(static_cast<std::uint32_t>(FrameBytes(frame))));
    Append16(out, frame.Type);
    Append16(out, frame.ChunkCountOverride.value_or(static_cast<std::uint16_t>(frame.Chunks.size())));
    out.insert(out.end(), 8, 0);
    for (const TChunk& chunk : frame.Chunks) {
      Append32(out, chunk.SizeOverride.value_or(static_cast<std::uint32_t>(6 + chunk.Payload.size())));
      Append16(out, chunk.Type);
      out.insert(out.end(), chunk.Payload.begin(), chunk.Payload.end());
    }
  }

  const std::size_t counted =
      layout.Frames.size() - (layout.RingFrame && !layout.Frames.empty() ? 1 : 0);
  Put32(out, 0, layout.SizeOverride.value_or(static_cast<std::uint32_t>(out.size())));
  Put16(out, 4, layout.Magic);
  Put16(out, 6, layout.FrameCountOverride.value_or(static_cast<std::uint16_t>(counted)));
  Put16(out, 8, layout.Width);
  Put16(out, 10, layout.Height);
  Put16(out, 12, 8);  // depth
  Put16(out, 14, 3);  // flags: written and updated, as finished files say
  Put32(out, 16, layout.Speed);
  Put16(out, 38, 1);
  Put16(out, 40, 1);
  const std::uint32_t first = layout.Classic ? 0 : 128;
  const std::uint32_t second = layout.Classic ? 0 : FrameOffset(layout, 1);
  Put32(out, 80, layout.FirstFrameOverride.value_or(first));
  Put32(out, 84, layout.SecondFrameOverride.value_or(second));
  return out;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace tovasel::flicwriter
