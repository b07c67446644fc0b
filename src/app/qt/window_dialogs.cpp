#include "app/qt/window_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tovasel {

QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    const QString& description = parts[i];
    // The toolkit takes the patterns from the last parenthesis, so a
    // description such as "FLC files (*.flc)" already says everything.
    const QString named = QStringLiteral("(%1)").arg(patterns);
    result << (description.endsWith(named) ? description : description + u' ' + named);
  }
  return result;
}

namespace {

void PrepareFileDialog(QFileDialog& dialog, const TFileDialogSettings& settings) {
  dialog.setNameFilters(NameFilters(settings.Filter));
  dialog.selectNameFilter(dialog.nameFilters().value(0));
  dialog.setDefaultSuffix(settings.DefaultExt);
  dialog.setSizeGripEnabled(true);
  if (!settings.FileName.isEmpty()) {
    const QFileInfo info(settings.FileName);
    if (info.dir().exists()) dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }
}

std::optional<QString> RunFileDialog(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst();
}

}  // namespace

std::optional<QString> RunOpenFileDialog(QWidget* parent, const TFileDialogSettings& settings) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A name that does not exist is still taken: the open then simply finds
  // no file and shows no frames.
  dialog.setFileMode(QFileDialog::AnyFile);
  PrepareFileDialog(dialog, settings);
  return RunFileDialog(dialog);
}

std::optional<QString> RunSaveFileDialog(QWidget* parent, const TFileDialogSettings& settings) {
  QFileDialog dialog(parent);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  PrepareFileDialog(dialog, settings);
  return RunFileDialog(dialog);
}

void RunErrorBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Tovasel"), text, QMessageBox::Ok, parent);
  box.exec();
}

void RunMessageBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tovasel"), text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tovasel
