#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "imaging/bitmap.h"

namespace tovasel {

class TGIFImage;
class TGIFHeader;
class TGIFSubImage;

// A colour outside a map: red in the low byte, green in the middle byte,
// blue in the high byte (0x00BBGGRR). Only the low 24 bits count.
using TColor = std::uint32_t;

constexpr TColor MakeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) |
         (static_cast<TColor>(blue) << 16);
}

// One colour-table entry as the GIF file stores it.
struct TGIFColor {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  constexpr TColor Value() const { return MakeColor(Red, Green, Blue); }
  friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};
static_assert(sizeof(TGIFColor) == 3, "colour entries are packed RGB triples");

// One (use count, entry index) pair of the colour-map optimisation.
struct TColorUsage {
  std::int64_t Count = 0;
  int Index = 0;
};

// A mapping of old colour indices to new ones, applied to pixels and
// transparent indices by RemapFrames.
using TColorTranslation = std::array<std::uint8_t, 256>;

// A colour table of at most 256 entries. IsSorted means the entries are
// ordered by frequency of use: it sets the sort flag in the file and makes
// FindColor search forwards.
class TGIFColorMap {
 public:
  static constexpr int MaxEntries = 256;

  TGIFColorMap() = default;
  virtual ~TGIFColorMap() = default;
  TGIFColorMap(const TGIFColorMap&) = delete;
  TGIFColorMap& operator=(const TGIFColorMap&) = delete;

  int EntryCount() const { return count_; }
  int EntryCapacity() const { return static_cast<int>(entries_.size()); }
  bool Empty() const { return count_ == 0; }
  bool IsSorted() const { return sorted_; }
  void SetIsSorted(bool sorted) { sorted_ = sorted; }

  // The used entries, EntryCount long.
  std::span<TGIFColor> Entries() { return {entries_.data(), static_cast<std::size_t>(count_)}; }
  std::span<const TGIFColor> Entries() const {
    return {entries_.data(), static_cast<std::size_t>(count_)};
  }

  // Raises "Color table overflow" on a full map.
  int AppendColor(TColor color);
  int AppendUniqueColor(TColor color);
  // Exact match; -1 when absent. A sorted map returns the lowest matching
  // index, an unsorted one the highest.
  int FindColor(TColor color) const;
  // Raises "Invalid color index" outside the map; pixels are not touched.
  void RemoveColor(int index);
  // Outside the map: warns "Invalid color index", then raises "Color table
  // is empty" on an empty map or returns entry 0.
  TColor ColorAt(int index) const;
  void ResetColors();
  // Drops the entries from Count on (Count must not exceed EntryCount).
  void SetEntryCount(int count);

  // 0 for an empty map, else the smallest n >= 1 with 2^n >= EntryCount.
  int ColorBits() const;
  void GrowCapacity(int count);

  void ReplaceEntries(std::span<const TGIFColor> entries);
  void LoadRGBQuads(std::span<const TRGBQuad> quads);
  void CopyFrom(const TGIFColorMap& other);

  // The table as written to a file: the entries, then black padding up to
  // 2^ColorBits entries. Nothing for an empty map.


  // The document the map belongs to, if any.
  virtual TGIFImage* OwnerImage() const { return nullptr; }
  virtual void ReportWarning(int severity, const std::string& message) const;

  // The frames that draw with this map, as the colour passes see them.
  // CountUses adds one to usage[p].Count for every pixel p of those frames;
  // RemapFrames rewrites their pixels and transparent indices through the
  // table. A map that belongs to no document is used by no frame.
  virtual void CountUses(std::vector<TColorUsage>& usage) const;
  virtual void RemapFrames(const TColorTranslation& table);

  // Called whenever the entries change.
  virtual void NotifyChanged() {}

 private:
  std::vector<TGIFColor> entries_;  // sized to the capacity
  int count_ = 0;
  bool sorted_ = false;
};

// The header's global colour table; frames without local colours use it.
class TGIFGlobalColorMap : public TGIFColorMap {
 public:
  explicit TGIFGlobalColorMap(TGIFHeader& owner) : ownerHeader_(&owner) {}
  TGIFHeader& OwnerHeader() const { return *ownerHeader_; }
  TGIFImage* OwnerImage() const override;

  void CountUses(std::vector<TColorUsage>& usage) const override;
  void RemapFrames(const TColorTranslation& table) override;

 private:
  TGIFHeader* ownerHeader_;
};

// A frame's own colour table.
class TGIFLocalColorMap : public TGIFColorMap {
 public:
  explicit TGIFLocalColorMap(TGIFSubImage& owner) : ownerFrame_(&owner) {}
  TGIFSubImage& OwnerFrame() const { return *ownerFrame_; }
  TGIFImage* OwnerImage() const override;

  void CountUses(std::vector<TColorUsage>& usage) const override;
  void RemapFrames(const TColorTranslation& table) override;

 private:
  TGIFSubImage* ownerFrame_;
};

}  // namespace tovasel
