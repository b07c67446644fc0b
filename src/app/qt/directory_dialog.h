#pragma once

#include <QDialog>
#include <QFileIconProvider>
#include <QString>

class QAction;
class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace tovasel {

// The directory dialog of the batch: a tree of folders only, with the
// platform's folder icons, "Ok" and "Annuler". Neither Enter nor Escape
// presses a button, and closing it by its frame is Cancel. It lives for the
// whole run, so the folder chosen for one batch is still selected for the
// next. The tree's context menu can show hidden folders, so that one can be
// chosen as the root of a search (the search itself skips only hidden
// subfolders).
class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);

  // The path of the selected folder; empty when none is selected.
  QString SelectedPath() const;
  // Selects Path in the tree and brings it into view, when the tree shows
  // it (a hidden folder only while hidden folders are shown).
  void SelectPath(const QString& path);

  QTreeView* ShellTreeView1 = nullptr;
  QPushButton* Button1 = nullptr;  // "Ok"
  QPushButton* Button2 = nullptr;  // "Annuler"
  QAction* ShowHiddenFolders = nullptr;  // in the tree's context menu

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Button1Click();
  void Button2Click();
  void ShowHiddenFoldersToggled(bool shown);
  // Whether the tree shows Path: no hidden folder on the way, or hidden
  // folders shown.
  bool InTree(const QString& path) const;

  QFileIconProvider icons_;
  QFileSystemModel* model_ = nullptr;
};

}  // namespace tovasel
