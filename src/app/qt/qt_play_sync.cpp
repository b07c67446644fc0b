#include "app/qt/qt_play_sync.h"

#include <QGuiApplication>
#include <QImage>
#include <QMetaObject>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <cstring>

#include "imaging/bitmap.h"

namespace tovasel {

void TQtPlayDispatcher::Post(std::function<void()> task) {
  QMetaObject::invokeMethod(context_, std::move(task), Qt::QueuedConnection);
}

bool TQtScreenCapture::CaptureScreen(const TOutputWindow* window, bool wholeWindow, TBitmap& out) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return false;
  QPixmap grab;
  if (!window) {
    grab = screen->grabWindow(0);
  } else {
    if (!widget_) return false;
    // A top-level window's outer rectangle includes its frame; a child
    // widget has none, so both modes give its own area.
    const QRect area = wholeWindow && widget_->isWindow()
                           ? widget_->frameGeometry()
                           : QRect(widget_->mapToGlobal(QPoint(0, 0)), widget_->size());
    if (area.isEmpty()) return false;
    grab = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
  }
  if (grab.isNull()) return false;

  const QImage image = grab.toImage().convertToFormat(QImage::Format_RGB888);
  TBitmap copy(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const uchar* src = image.constScanLine(y);
    std::uint8_t* dst = copy.ScanLine(y);
    for (int x = 0; x < image.width(); ++x, src += 3, dst += 3) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
    }
  }
  out = std::move(copy);
  return true;
}

}  // namespace tovasel
