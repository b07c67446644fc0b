#include "app/qt/about_box.h"

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "app/app_error.h"
#include "app/qt/control_names.h"
#include "app/qt/jpeg_picture.h"
#include "app/qt/window_font.h"
#include "tovasel/version.h"

// The resource initialiser lives in the global namespace; calling it also
// keeps the linker from dropping the resources out of the static library.
static void InitWindowResources() { Q_INIT_RESOURCE(window_resources); }

namespace tovasel {

QString GetFileVersionText() { return QString::fromLatin1(kVersion); }

QImage AboutPicture() {
  InitWindowResources();
  QFile file(QStringLiteral(":/tovasel/about.jpg"));
  if (!file.open(QIODevice::ReadOnly)) throw EAppError("The About picture is missing");
  const QByteArray bytes = file.readAll();
  return DecodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size())});
}

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About..."));
  setWindowFlag(Qt::Tool);
  setFont(WindowFont());
  setFixedSize(380, 240);
  move(247, 161);

  Image1 = new QLabel(this);
  Image1->move(0, 0);
  try {
    Image1->setPixmap(QPixmap::fromImage(AboutPicture()));
  } catch (const EAppError&) {
    // Without its picture the box still tells the version and address.
  }
  Image1->adjustSize();

  Label1 = new QLabel(this);
  // Wider than the label's design size: the address must fit on one line.
  Label1->setGeometry(58, 160, 252, 13);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setAttribute(Qt::WA_TranslucentBackground);
  Label1->setText(GetFileVersionText() + u' ' + QString::fromLatin1(kContactAddress));

  Button1 = new QPushButton(QStringLiteral("Ok"), this);
  Button1->setGeometry(152, 192, 75, 25);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  NameControls({{Image1, "Image1"}, {Label1, "Label1"}, {Button1, "Button1"}});
}

}  // namespace tovasel
