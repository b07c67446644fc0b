#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace tovasel {

// The address shown after the version in the About box.
inline constexpr const char* kContactAddress = "tovasel@example.org";

// The About box: our picture, the program's version and a contact address,
// and "Ok" as the default button. Its text is made once, when it is
// created at program start.
class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(QWidget* parent = nullptr);

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* Button1 = nullptr;  // "Ok"
};

// The program's file version, kept once in the build.
QString GetFileVersionText();

// The About picture embedded in the program, decoded from its JPEG bytes.
// Raises EAppError when the embedded bytes are missing or damaged.
QImage AboutPicture();

}  // namespace tovasel
