#include <cstdio>

#include <QApplication>
#include <QIcon>

#include "app/qt/about_box.h"
#include "app/qt/directory_dialog.h"
#include "app/qt/main_window.h"
#include "gif/temp_file_registry.h"

// The window program: the main window, then the directory dialog, then the
// About box, all three kept for the whole run. A file named on the command
// line (as a desktop's "Open with" passes it) is opened as File > Open does;
// nothing is stored between runs.
int main(int argc, char** argv) {
  // Answered before the toolkit starts, so that it needs no display.
  if (tovasel::AsksForHelp(argc, argv)) {
    std::fputs(tovasel::WindowUsage(), stdout);
    return 0;
  }
  // A window closed by a signal leaves no half-written GIF behind either.
  tovasel::InstallTempFileCleanup();
  QApplication app(argc, argv);
  Q_INIT_RESOURCE(window_resources);
  QApplication::setApplicationName(QStringLiteral("Tovasel"));
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/tovasel/tovasel.png")));

  tovasel::TForm1 form1;
  tovasel::TForm2 form2(&form1);
  tovasel::TForm3 form3(&form1);
  form1.SetDirectoryDialog(&form2);
  form1.SetAboutBox(&form3);
  form1.show();
  if (const std::optional<QString> file = tovasel::FileArgument(QApplication::arguments())) {
    form1.OpenFile(*file);
  }
  return QApplication::exec();
}
