#include "gif/gif_item.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "gif/gif_exception.h"
#include "gif/gif_extension.h"
#include "gif/gif_image.h"
#include "gif/safe_file_store.h"
#include "gif/sub_image.h"

namespace tovasel {

void TGIFItem::ReportWarning(int severity, const std::string& message) const {
  if (ownerImage_ != nullptr) ownerImage_->ReportWarning(severity, message);
}

void TGIFItem::SaveItemToFile(const std::string& fileName) {
  StoreFileSafely(fileName, [this](std::ostream& stream) { SaveToStream(stream); });
}

TGIFList::~TGIFList() { ClearItems(); }

TGIFItem& TGIFList::ItemAt(int index) const {
  if (index < 0 || index >= ItemCount()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *items_[static_cast<std::size_t>(index)];
}

int TGIFList::IndexOf(const TGIFItem* item) const {
  const auto found = std::find_if(items_.begin(), items_.end(),
                                  [item](const auto& owned) { return owned.get() == item; });
  return found == items_.end() ? -1 : static_cast<int>(found - items_.begin());
}

int TGIFList::Append(std::unique_ptr<TGIFItem> item) {
  items_.push_back(std::move(item));
  return ItemCount() - 1;
}

void TGIFList::DeleteAt(int index) {
  ItemAt(index);  // range check
  // The item leaves the list before it is destroyed, so its destructor
  // finds the list consistent.
  std::unique_ptr<TGIFItem> doomed = std::move(items_[static_cast<std::size_t>(index)]);
  items_.erase(items_.begin() + index);
}

void TGIFList::Delete(const TGIFItem* item) { Detach(item).reset(); }

std::unique_ptr<TGIFItem> TGIFList::Detach(const TGIFItem* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  std::unique_ptr<TGIFItem> detached = std::move(items_[static_cast<std::size_t>(index)]);
  items_.erase(items_.begin() + index);
  return detached;
}

void TGIFList::ClearItems() {
  // The list is empty before the first item dies, so no destructor sees a
  // half-destroyed list.
  std::vector<std::unique_ptr<TGIFItem>> doomed = std::move(items_);
  items_.clear();
  for (auto& item : doomed) item.reset();
}

void TGIFList::ReportWarning(int severity, const std::string& message) const {
  if (ownerImage_ != nullptr) ownerImage_->ReportWarning(severity, message);
}

void TGIFList::SaveToStream(std::ostream& stream) {
  for (const auto& item : items_) item->SaveToStream(stream);
}

TGIFSubImage& TGIFImageList::FrameAt(int index) const {
  return static_cast<TGIFSubImage&>(ItemAt(index));
}

TGIFExtension& TGIFExtensionList::ExtensionAt(int index) const {
  return static_cast<TGIFExtension&>(ItemAt(index));
}

}  // namespace tovasel
