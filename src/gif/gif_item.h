#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace tovasel {

class TGIFImage;
class TGIFSubImage;
class TGIFExtension;

// Base of every block of a GIF document (header, frame, extension, trailer).
// The owning list holds the item; OwnerImage is a plain back-reference.
class TGIFItem {
 public:
  explicit TGIFItem(TGIFImage* owner) : ownerImage_(owner) {}
  virtual ~TGIFItem() = default;
  TGIFItem(const TGIFItem&) = delete;
  TGIFItem& operator=(const TGIFItem&) = delete;

  TGIFImage* OwnerImage() const { return ownerImage_; }

  // GIF version the block needs: 1 for "87a", 2 for "89a".
  virtual int RequiredVersion() const { return 1; }
  // Passes a non-fatal problem to the document's WarningHandler, if any.
  virtual void ReportWarning(int severity, const std::string& message) const;
  virtual void SaveToStream(std::ostream& stream) = 0;
  // Writes the block alone into a file; failures raise GIFException.
  void SaveItemToFile(const std::string& fileName);

 private:
  TGIFImage* ownerImage_;
};

// An ordered list that owns its items. Items leave it either destroyed
// (DeleteAt, Delete, ClearItems) or handed back to the caller (Detach).
class TGIFList {
 public:
  explicit TGIFList(TGIFImage* owner) : ownerImage_(owner) {}
  virtual ~TGIFList();
  TGIFList(const TGIFList&) = delete;
  TGIFList& operator=(const TGIFList&) = delete;

  TGIFImage* OwnerImage() const { return ownerImage_; }

  int ItemCount() const { return static_cast<int>(items_.size()); }
  // Raises std::out_of_range "List index out of bounds (i)" outside the list.
  TGIFItem& ItemAt(int index) const;
  // Index of the item, or -1 when it is not in this list.
  int IndexOf(const TGIFItem* item) const;
  // Takes ownership and returns the index of the new last item.
  int Append(std::unique_ptr<TGIFItem> item);
  void DeleteAt(int index);
  // Removes and destroys the item; an item not in the list is ignored.
  void Delete(const TGIFItem* item);
  // Removes the item without destroying it and hands it back (empty when
  // the item is not in the list).
  std::unique_ptr<TGIFItem> Detach(const TGIFItem* item);
  // Destroys every item, first to last.
  void ClearItems();

  virtual void ReportWarning(int severity, const std::string& message) const;
  // Writes every item in list order.
  virtual void SaveToStream(std::ostream& stream);

 private:
  TGIFImage* ownerImage_;
  std::vector<std::unique_ptr<TGIFItem>> items_;
};

// The document's frames in output order.
class TGIFImageList : public TGIFList {
 public:
  using TGIFList::TGIFList;
  TGIFSubImage& FrameAt(int index) const;
};

// A frame's extension blocks, written before its image in list order.
class TGIFExtensionList : public TGIFList {
 public:
  using TGIFList::TGIFList;
  TGIFExtension& ExtensionAt(int index) const;
};

}  // namespace tovasel
