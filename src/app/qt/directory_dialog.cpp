#include "app/qt/directory_dialog.h"

#include <QDir>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeView>

#include "app/qt/window_font.h"

namespace tovasel {

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Selectionner le répertoire"));
  // The client area that a 244 x 320 outer frame leaves.
  setFixedSize(236, 296);
  setFont(WindowFont());

  model_ = new QFileSystemModel(this);
  // Folders only; hidden folders are left out just as the search leaves
  // them out, so the tree never offers a folder the batch would skip into.
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setRootPath(QDir::rootPath());

  ShellTreeView1 = new QTreeView(this);
  ShellTreeView1->setGeometry(0, 0, 236, 257);
  ShellTreeView1->setModel(model_);
  ShellTreeView1->setHeaderHidden(true);
  for (int column = 1; column < model_->columnCount(); ++column) ShellTreeView1->hideColumn(column);
  ShellTreeView1->setIndentation(19);
  ShellTreeView1->setRootIsDecorated(false);
  ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);

  Button1 = new QPushButton(QStringLiteral("Ok"), this);
  Button1->setGeometry(8, 264, 75, 25);
  Button2 = new QPushButton(QStringLiteral("Annuler"), this);
  Button2->setGeometry(152, 264, 75, 25);
  // Dialogs press their default button on Enter; this one has none.
  for (QPushButton* button : {Button1, Button2}) {
    button->setAutoDefault(false);
    button->setDefault(false);
  }
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);

  // Something is always selected, so "Ok" always yields a folder: an empty
  // choice would make the batch search the program's working folder.
  SelectPath(QDir::homePath());
}

QString TForm2::SelectedPath() const {
  const QModelIndex current = ShellTreeView1->currentIndex();
  return current.isValid() ? model_->filePath(current) : QString();
}

void TForm2::SelectPath(const QString& path) {
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
