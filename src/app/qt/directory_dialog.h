#pragma once

#include <QDialog>
#include <QString>

class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace tovasel {

// The directory dialog of the batch: a tree of folders only, "Ok" and
// "Annuler". Neither Enter nor Escape presses a button, and closing it by
// its frame is Cancel. It lives for the whole run, so the folder chosen for
// one batch is still selected for the next.
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // The path of the selected folder; empty when none is selected.
  QString SelectedPath() const;
  // Selects Path in the tree and brings it into view.
  void SelectPath(const QString& path);

  QTreeView* ShellTreeView1 = nullptr;
  QPushButton* Button1 = nullptr;  // "Ok"
  QPushButton* Button2 = nullptr;  // "Annuler"

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Button1Click();
  void Button2Click();

  QFileSystemModel* model_ = nullptr;
};

}  // namespace tovasel
