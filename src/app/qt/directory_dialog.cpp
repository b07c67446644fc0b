#include "app/qt/directory_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeView>

#include "app/qt/control_names.h"
#include "app/qt/window_font.h"

namespace tovasel {

namespace {

// Room a window frame takes beside the title: the window's icon and its
// buttons, at their common sizes.
constexpr int kTitleBarReserve = 160;

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  const QString title = QStringLiteral("Selectionner le répertoire");
  setWindowTitle(title);
  setFont(WindowFont());
  // The designed width (the client area of a 244 x 320 frame) cuts the
  // title on frames that draw it in a larger bold font: the dialog is
  // widened until the title fits.
  QFont titleFont = QApplication::font();
  titleFont.setBold(true);
  const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarReserve;
  const int width = std::max(236, titleWidth);
  setFixedSize(width, 296);

  model_ = new QFileSystemModel(this);
  // The toolkit's own provider falls back to the style's folder icon when
  // the desktop offers no icon theme.
  model_->setIconProvider(&icons_);
  // Folders only; hidden folders are left out just as the search leaves
  // them out, until the context menu asks for them.
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QDir::rootPath());

  ShellTreeView1 = new QTreeView(this);
  ShellTreeView1->setGeometry(0, 0, width, 257);
  ShellTreeView1->setModel(model_);
  ShellTreeView1->setHeaderHidden(true);
  for (int column = 1; column < model_->columnCount(); ++column) ShellTreeView1->hideColumn(column);
  ShellTreeView1->setIndentation(19);
  ShellTreeView1->setRootIsDecorated(false);
  ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);

  ShowHiddenFolders = new QAction(QStringLiteral("Afficher les dossiers cachés"), ShellTreeView1);
  ShowHiddenFolders->setCheckable(true);
  connect(ShowHiddenFolders, &QAction::toggled, this, &TForm2::ShowHiddenFoldersToggled);
  ShellTreeView1->addAction(ShowHiddenFolders);
  ShellTreeView1->setContextMenuPolicy(Qt::ActionsContextMenu);

  Button1 = new QPushButton(QStringLiteral("Ok"), this);
  Button1->setGeometry(8, 264, 75, 25);
  Button2 = new QPushButton(QStringLiteral("Annuler"), this);
  Button2->setGeometry(width - 84, 264, 75, 25);
  // Dialogs press their default button on Enter; this one has none.
  for (QPushButton* button : {Button1, Button2}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
  NameControls({{ShellTreeView1, "ShellTreeView1"}, {Button1, "Button1"}, {Button2, "Button2"}});

  // Something is always selected, so "Ok" always yields a folder: an empty
  // choice would make the batch search the program's working folder.
  SelectPath(QDir::homePath());
}

void TForm2::ShowHiddenFoldersToggled(bool shown) {
  const QString selected = SelectedPath();
  QDir::Filters filter = QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives;
  if (shown) filter |= QDir::Hidden;
  model_->setFilter(filter);
  // A hidden folder that leaves the tree gives way to home.
  SelectPath(InTree(selected) ? selected : QDir::homePath());
}

bool TForm2::InTree(const QString& path) const {
  if (path.isEmpty()) return false;
  if (ShowHiddenFolders->isChecked()) return true;
  for (QFileInfo folder(path); !folder.isRoot(); folder = QFileInfo(folder.absolutePath())) {
    if (folder.isHidden()) return false;
  }
  return true;
}

QString TForm2::SelectedPath() const {
  const QModelIndex current = ShellTreeView1->currentIndex();
  return current.isValid() ? model_->filePath(current) : QString();
}

void TForm2::SelectPath(const QString& path) {
  if (!InTree(path)) return;
  const QModelIndex index = model_->index(QDir(path).absolutePath());
  if (!index.isValid()) return;
  ShellTreeView1->setCurrentIndex(index);
  ShellTreeView1->scrollTo(index);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // Escape would reject and Enter would accept the dialog: both are kept
  // away from the buttons, which only a click or Space presses.
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void TForm2::Button1Click() { accept(); }

void TForm2::Button2Click() { reject(); }

}  // namespace tovasel
