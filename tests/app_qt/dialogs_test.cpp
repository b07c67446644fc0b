#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFile>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include <filesystem>

#include "app/app_error.h"
#include "app/qt/about_box.h"
#include "app/qt/directory_dialog.h"
#include "app/qt/jpeg_picture.h"
#include "app/qt/main_window.h"
#include "app/qt/window_dialogs.h"
#include "tovasel/version.h"
#include "window_test_support.h"

using namespace tovasel;
using namespace tovasel::testing;

class DirectoryDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void CaptionAndButtons() {
    TForm2 dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Selectionner le répertoire"));
    QCOMPARE(Control<QPushButton>(dialog, "Button1")->text(), QStringLiteral("Ok"));
    QCOMPARE(Control<QPushButton>(dialog, "Button2")->text(), QStringLiteral("Annuler"));
    QVERIFY(!Control<QPushButton>(dialog, "Button1")->isDefault() && !Control<QPushButton>(dialog, "Button1")->autoDefault());
    QVERIFY(!Control<QPushButton>(dialog, "Button2")->isDefault() && !Control<QPushButton>(dialog, "Button2")->autoDefault());
    QVERIFY(!dialog.SelectedPath().isEmpty());
  }

  void KeysPressNoButton_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
  }

  void KeysPressNoButton() {
    QFETCH(int, key);
    TForm2 dialog;
    dialog.open();
    QTest::keyClick(&dialog, Qt::Key(key));
    QTest::keyClick(static_cast<QWidget*>(Control<QTreeView>(dialog, "ShellTreeView1")), Qt::Key(key));
    Control<QPushButton>(dialog, "Button1")->setFocus();
    QTest::keyClick(Control<QPushButton>(dialog, "Button1"), Qt::Key(key));
    QVERIFY(dialog.isVisible());
    Control<QPushButton>(dialog, "Button2")->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void ClosingByFrameIsCancel() {
    TForm2 dialog;
    dialog.open();
    QVERIFY(dialog.close());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }

  void TreeShowsFolderIcons() {
    TForm2 dialog;
    const QModelIndex home = Control<QTreeView>(dialog, "ShellTreeView1")->currentIndex();
    QVERIFY(home.isValid());
    QVERIFY(!home.data(Qt::DecorationRole).value<QIcon>().isNull());
  }

  // A window frame draws its title in a bold font beside its icon and
  // buttons; the designed width cut the title short.
  void TitleFitsTheFrame() {
    TForm2 dialog;
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY(dialog.width() >= QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 120);
    QVERIFY(Control<QPushButton>(dialog, "Button2")->geometry().right() < dialog.width());
    QCOMPARE(Control<QTreeView>(dialog, "ShellTreeView1")->width(), dialog.width());
  }

  void HiddenFolderCanBeChosenFromTheContextMenu() {
    TempFolder folder("window-hidden");
    std::filesystem::create_directories(folder.path() / ".secret");
    const QString secret = QDir(Q((folder.path() / ".secret").string())).absolutePath();
    TForm2 dialog;
    QCOMPARE(Control<QTreeView>(dialog, "ShellTreeView1")->contextMenuPolicy(), Qt::ActionsContextMenu);
    QVERIFY(Control<QTreeView>(dialog, "ShellTreeView1")->actions().contains(dialog.ShowHiddenFolders));
    dialog.SelectPath(secret);
    QVERIFY(dialog.SelectedPath() != secret);
    dialog.ShowHiddenFolders->trigger();
    dialog.SelectPath(secret);
    QCOMPARE(dialog.SelectedPath(), secret);
    dialog.ShowHiddenFolders->trigger();
    QVERIFY(!dialog.SelectedPath().isEmpty());
    QVERIFY(dialog.SelectedPath() != secret);
  }

  void SelectionIsKeptBetweenUses() {
    TempFolder folder("window-dialog");
    std::filesystem::create_directories(folder.path() / "inner");
    const QString inner = QDir(Q((folder.path() / "inner").string())).absolutePath();
    TForm2 dialog;
    dialog.open();
    dialog.SelectPath(inner);
    Control<QPushButton>(dialog, "Button1")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.SelectedPath(), inner);
    dialog.open();
    QCOMPARE(dialog.SelectedPath(), inner);
    Control<QPushButton>(dialog, "Button2")->click();
  }
};

class AboutBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsVersionAndAddress() {
    TForm3 box;
    QCOMPARE(box.windowTitle(), QStringLiteral("About..."));
    QCOMPARE(Control<QLabel>(box, "Label1")->text(), QString::fromLatin1(kVersion) + " " + QString::fromLatin1(kContactAddress));
    // Four dotted numbers, from the build's one version.
    QVERIFY(QRegularExpression("^\\d+\\.\\d+\\.\\d+\\.\\d+ ").match(Control<QLabel>(box, "Label1")->text()).hasMatch());
    QCOMPARE(box.size(), QSize(380, 240));
    QCOMPARE(Control<QPushButton>(box, "Button1")->text(), QStringLiteral("Ok"));
    QVERIFY(Control<QPushButton>(box, "Button1")->isDefault());
  }

  void PictureIsOurJpeg() {
    const QImage picture = AboutPicture();
    QCOMPARE(picture.size(), QSize(380, 240));
    TForm3 box;
    QCOMPARE(Control<QLabel>(box, "Image1")->pixmap().size(), QSize(380, 240));
    QCOMPARE(Control<QLabel>(box, "Image1")->pos(), QPoint(0, 0));
    // The embedded file is a baseline JPEG (start of frame 0xC0) of three
    // components.
    QFile file(":/tovasel/about.jpg");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    QVERIFY(sof > 0);
    QCOMPARE(int(static_cast<unsigned char>(bytes[sof + 9])), 3);
  }

  void EnterAcceptsTheBox() {
    TForm3 box;
    box.open();
    QTest::keyClick(&box, Qt::Key_Return);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
  }

  void DamagedJpegIsRefused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QFile file(":/tovasel/about.jpg");
    file.open(QIODevice::ReadOnly);
    const QByteArray good = file.readAll();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not a JPEG") << QByteArray("GIF89a, not a JPEG file");
    QTest::newRow("header only") << good.left(200);
    QByteArray huge = good;
    // Height and width of the start-of-frame segment set to 65535.
    const qsizetype sof = good.indexOf(QByteArray("\xFF\xC0", 2));
    for (int i = 5; i < 9; ++i) huge[sof + i] = char(0xFF);
    QTest::newRow("too large") << huge;
  }

  void JpegBeyondTheCallersLimitIsRefused() {
    QFile file(":/tovasel/about.jpg");
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const std::span data(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    QCOMPARE(DecodeJpeg(data, {.MaxJpegSide = 380}).size(), QSize(380, 240));
    QVERIFY_THROWS_EXCEPTION(EAppError, DecodeJpeg(data, {.MaxJpegSide = 379}));
  }

  void DamagedJpegIsRefused() {
    QFETCH(QByteArray, bytes);
    try {
      const QImage image =
          DecodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
      // A truncated stream may still decode, padded by libjpeg; it must
      // then have the size it announced.
      QVERIFY(bytes.size() > 100);
      QCOMPARE(image.size(), QSize(380, 240));
    } catch (const EAppError& e) {
      QVERIFY(QByteArray(e.what()).startsWith("JPEG picture"));
    }
  }
};

// What a modal message box showed, read while it waits and then closed.
struct ShownBox {
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
};

ShownBox CloseNextBox(const std::function<void()>& show) {
  ShownBox shown;
  QTimer::singleShot(0, [&shown] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    shown.title = box->windowTitle();
    shown.text = box->text();
    shown.icon = box->icon();
    for (QAbstractButton* button : box->buttons()) shown.buttons << button->text();
    box->done(0);
  });
  show();
  return shown;
}

class StandardBoxesTest : public QObject {
  Q_OBJECT

 private slots:
  void BoxLooks_data() {
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("icon");
    QTest::newRow("error box") << true << int(QMessageBox::Critical);
    QTest::newRow("message dialog") << false << int(QMessageBox::NoIcon);
  }

  void BoxLooks() {
    QFETCH(bool, error);
    QFETCH(int, icon);
    const ShownBox shown = CloseNextBox([error] {
      if (error) {
        RunErrorBox(nullptr, QStringLiteral("Unsupported GIF version."));
      } else {
        RunMessageBox(nullptr, QStringLiteral("Erreur Ajout dans la liste"));
      }
    });
    QCOMPARE(shown.title, QStringLiteral("Tovasel"));
    QCOMPARE(int(shown.icon), icon);
    QCOMPARE(shown.buttons, QStringList{"OK"});
  }

  // A bad limit typed in the real window ends in the real error box.
  void BadLimitInTheWindow() {
    TempFolder folder("window-error-box");
    WriteAnimation(folder / "a.flc", MovingBlocks(8, 8, 2, 3));
    TWindowDialogs hooks;
    hooks.ChooseSaveFile = [&](QWidget*, const TFileDialogSettings&) -> std::optional<QString> {
      return Q(folder / "a.gif");
    };
    TForm1 window(hooks);
    window.OpenFile(Q(folder / "a.flc"));
    window.CheckLimiteFrame->setChecked(true);
    Control<QLineEdit>(window, "Edit1")->setText(QStringLiteral("12a"));
    const ShownBox shown = CloseNextBox([&] { Control<QPushButton>(window, "Button2")->click(); });
    QCOMPARE(shown.title, QStringLiteral("Tovasel"));
    QCOMPARE(shown.text, QStringLiteral("'12a' is not a valid integer value."));
    QCOMPARE(int(shown.icon), int(QMessageBox::Critical));
    QVERIFY(!QFile::exists(Q(folder / "a.gif")));
  }
};

class FileDialogFilterTest : public QObject {
  Q_OBJECT

 private slots:
  void NameFiltersFromPairs_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    // "*.*" would hide every name without a dot.
    QTest::newRow("open, English") << "FLC files (*.flc)|*.flc|FLI files (*.fli)|*.fli|All (*.*)|*.*"
                                   << QStringList{"FLC files (*.flc) (*.flc)", "FLI files (*.fli) (*.fli)",
                                                  "All (*.*) (*)"};
    QTest::newRow("description without patterns") << "Pictures|*.gif;*.png"
                                                  << QStringList{"Pictures (*.gif *.png)"};
    QTest::newRow("odd count ignores the last part") << "Gif files (*.gif)|*.gif|All"
                                                     << QStringList{"Gif files (*.gif) (*.gif)"};
  }

  void NameFiltersFromPairs() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(NameFilters(filter), expected);
  }
};

class FileDialogShownFiltersTest : public QObject {
  Q_OBJECT

 private slots:
  void ShowsTheCaptionsAndTheAllFilterMatchesEveryName_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("captions");
    QTest::newRow("open") << "FLC files (*.flc)|*.flc|FLI files (*.fli)|*.fli|All (*.*)|*.*"
                          << QStringList{"FLC files (*.flc)", "FLI files (*.fli)", "All (*.*)"};
    QTest::newRow("save, French") << "Fichiers Gif (*.gif)|*.gif|Tous (*.*)|*.*"
                                  << QStringList{"Fichiers Gif (*.gif)", "Tous (*.*)"};
  }

  void ShowsTheCaptionsAndTheAllFilterMatchesEveryName() {
    QFETCH(QString, filter);
    QFETCH(QStringList, captions);
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    TFileDialogSettings settings;
    settings.Filter = filter;
    PrepareFileDialog(dialog, settings);
    auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo != nullptr);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
    QCOMPARE(shown, captions);
    dialog.selectNameFilter(dialog.nameFilters().constLast());
    auto* model = dialog.findChild<QFileSystemModel*>();
    QVERIFY(model != nullptr);
    QCOMPARE(model->nameFilters(), QStringList{"*"});
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failures = 0;
  {
    DirectoryDialogTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  {
    AboutBoxTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  {
    StandardBoxesTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  {
    FileDialogFilterTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  {
    FileDialogShownFiltersTest test;
    failures += QTest::qExec(&test, argc, argv);
  }
  return failures == 0 ? 0 : 1;
}

#include "dialogs_test.moc"
