#include "app/qt/preview_image.h"

#include <cstring>

#include <QPainter>

#include "imaging/bitmap.h"

namespace tovasel {

TPreviewImage::TPreviewImage(QWidget* parent) : QWidget(parent) {
  // The whole control is drawn here (picture, then background), so the
  // toolkit need not clear it first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPreviewImage::SetPicture(const TBitmap& bitmap) {
  if (bitmap.Empty() || bitmap.PixelFormat() != TPixelFormat::pf24bit) {
    picture_ = QImage();
    return;
  }
  // The same size comes back for every frame of a file: keep the storage.
  if (picture_.width() != bitmap.Width() || picture_.height() != bitmap.Height()) {
    picture_ = QImage(bitmap.Width(), bitmap.Height(), QImage::Format_BGR888);
  }
  // Both sides store blue, green, red triples: copy whole rows.
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.Width()) * 3;
  for (int y = 0; y < bitmap.Height(); ++y) std::memcpy(picture_.scanLine(y), bitmap.ScanLine(y), rowBytes);
}

void TPreviewImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (!picture_.isNull()) painter.drawImage(0, 0, picture_);
}

}  // namespace tovasel
