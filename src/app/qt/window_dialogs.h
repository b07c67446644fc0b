#pragma once

#include <functional>
#include <optional>

#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace tovasel {

// What the main window keeps of one of its file dialogs between uses: the
// filter ("description|pattern|description|pattern..."), the extension
// added to a typed name without one, and the path last chosen or suggested.
struct TFileDialogSettings {
  QString Filter;
  QString DefaultExt;
  QString FileName;
};

// The filter text as the toolkit's name filters: one "description
// (patterns)" entry per pair, shown with the details hidden so that the
// caption reads as the filter gives it; "*.*" becomes "*".
QStringList NameFilters(const QString& filter);

// Gives a file dialog the filters, default extension and suggested file of
// settings, the first filter selected.
void PrepareFileDialog(QFileDialog& dialog, const TFileDialogSettings& settings);

// Everything the main window asks of the user through a modal dialog. Each
// hook left empty gets the standard dialog; tests put their own answers in
// place so that no dialog ever waits for a click.
struct TWindowDialogs {
  // The chosen path, or nothing when the user cancels.
  std::function<std::optional<QString>(QWidget* parent, const TFileDialogSettings&)> ChooseOpenFile;
  std::function<std::optional<QString>(QWidget* parent, const TFileDialogSettings&)> ChooseSaveFile;
  // The folder for a directory batch, or nothing on Cancel.
  std::function<std::optional<QString>(QWidget* parent)> ChooseFolder;
  // The standard error box (title "Tovasel", error icon, one OK button).
  std::function<void(QWidget* parent, const QString& text)> ShowError;
  // The plain message dialog (title "Tovasel", no icon, one "OK" button).
  std::function<void(QWidget* parent, const QString& text)> ShowMessage;
};

// The standard dialogs behind every empty hook. ChooseFolder has no standard
// form: the main window supplies its directory dialog.
std::optional<QString> RunOpenFileDialog(QWidget* parent, const TFileDialogSettings& settings);
std::optional<QString> RunSaveFileDialog(QWidget* parent, const TFileDialogSettings& settings);
void RunErrorBox(QWidget* parent, const QString& text);
void RunMessageBox(QWidget* parent, const QString& text);

}  // namespace tovasel
