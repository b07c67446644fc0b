#pragma once

#include <QScrollBar>

namespace tovasel {

// The preview's scroll bar. Its keys step through the frames the way they
// read: Left, Up and Page Up go back, Right, Down and Page Down forward, Home
// and End to either end, whatever the toolkit's own slider conventions. It
// shows a focus frame while it has the focus, which the platform's style
// does not draw for scroll bars.
class TFrameScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  explicit TFrameScrollBar(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tovasel
