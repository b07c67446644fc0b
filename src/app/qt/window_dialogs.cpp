#include "app/qt/window_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tovasel {

QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    // On this platform many names have no dot at all; "*.*" would hide them.
    for (QString& pattern : patterns) {
      if (pattern == u"*.*") pattern = QStringLiteral("*");
    }
    // The toolkit takes the patterns from the last parenthesis and, with
    // the details hidden, shows the text before it: the caption unchanged.
    result << parts[i] + QStringLiteral(" (%1)").arg(patterns.join(u' '));
  }
  return result;
}

void PrepareFileDialog(QFileDialog& dialog, const TFileDialogSettings& settings) {
  dialog.setOption(QFileDialog::HideNameFilterDetails, true);
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

namespace {

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
