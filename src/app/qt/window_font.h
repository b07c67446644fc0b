#pragma once

#include <QFont>

namespace tovasel {

// The controls' positions and sizes were laid out for an 11-pixel font; a
// larger desktop font would overflow the labels and check boxes.
inline QFont WindowFont() {
  QFont font;
  font.setPixelSize(11);
  return font;
}

}  // namespace tovasel
