#pragma once

#include <QImage>
#include <QWidget>

namespace tovasel {

class TBitmap;

// The preview: one picture shown at its natural size from the top-left
// corner, clipped to the control, neither stretched nor centred.
class TPreviewImage : public QWidget {
  Q_OBJECT

 public:
  explicit TPreviewImage(QWidget* parent = nullptr);

  // Takes a copy of a 24-bit bitmap; the control repaints on the next paint.
  void SetPicture(const TBitmap& bitmap);
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace tovasel
