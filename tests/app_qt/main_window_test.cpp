#include <QCheckBox>
#include <QDir>
#include <QLibraryInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <filesystem>
#include <fstream>

#include "app/frame_budget.h"
#include "app/gif_conversion.h"
#include "app/path_names.h"
#include "app/qt/language_tables.h"
#include "app/qt/main_window.h"
#include "app/qt/preview_image.h"
#include "window_test_support.h"

using namespace tovasel;
using namespace tovasel::testing;

namespace {

// Every text the language tables write, and how to read it off its control.
struct LanguageControl {
  const char* name;
  const char* TLanguageTexts::*text;
  QString (*read)(TForm1&);
};
const LanguageControl kLanguageControls[] = {
    {"Label1", &TLanguageTexts::Label1, [](TForm1& w) { return Control<QLabel>(w, "Label1")->text(); }},
    {"LabeledEdit1", &TLanguageTexts::LabeledEdit1, [](TForm1& w) { return Control<QLabel>(w, "LabeledEdit1Label")->text(); }},
    {"LabeledEdit3", &TLanguageTexts::LabeledEdit3, [](TForm1& w) { return Control<QLabel>(w, "LabeledEdit3Label")->text(); }},
    {"LabeledEdit4", &TLanguageTexts::LabeledEdit4, [](TForm1& w) { return Control<QLabel>(w, "LabeledEdit4Label")->text(); }},
    {"StaticText3", &TLanguageTexts::StaticText3, [](TForm1& w) { return Control<QLabel>(w, "StaticText3")->text(); }},
    {"Button2", &TLanguageTexts::Button2, [](TForm1& w) { return Control<QPushButton>(w, "Button2")->text(); }},
    {"GroupBox1", &TLanguageTexts::GroupBox1, [](TForm1& w) { return Control<QGroupBox>(w, "GroupBox1")->title(); }},
    {"CheckBoxMerge", &TLanguageTexts::CheckBoxMerge, [](TForm1& w) { return Control<QCheckBox>(w, "CheckBoxMerge")->text(); }},
    {"CheckBoxCrop", &TLanguageTexts::CheckBoxCrop, [](TForm1& w) { return Control<QCheckBox>(w, "CheckBoxCrop")->text(); }},
    {"CheckLimiteFrame", &TLanguageTexts::CheckLimiteFrame, [](TForm1& w) { return Control<QCheckBox>(w, "CheckLimiteFrame")->text(); }},
    {"OpenDialog1", &TLanguageTexts::OpenFilter, [](TForm1& w) { return w.OpenDialog1.Filter; }},
    {"SaveDialog1", &TLanguageTexts::SaveFilter, [](TForm1& w) { return w.SaveDialog1.Filter; }},
    {"Fichier1", &TLanguageTexts::Fichier1, [](TForm1& w) { return Control<QMenu>(w, "Fichier1")->title(); }},
    {"Ouvrir1", &TLanguageTexts::Ouvrir1, [](TForm1& w) { return Control<QAction>(w, "Ouvrir1")->text(); }},
    {"Quitter1", &TLanguageTexts::Quitter1, [](TForm1& w) { return Control<QAction>(w, "Quitter1")->text(); }},
    {"Conversion1", &TLanguageTexts::Conversion1, [](TForm1& w) { return Control<QMenu>(w, "Conversion1")->title(); }},
    {"Convertirfichier1", &TLanguageTexts::Convertirfichier1, [](TForm1& w) { return Control<QAction>(w, "Convertirfichier1")->text(); }},
    {"Batchrpertoire1", &TLanguageTexts::Batchrpertoire1, [](TForm1& w) { return Control<QAction>(w, "Batchrpertoire1")->text(); }},
    {"Aide1", &TLanguageTexts::Aide1, [](TForm1& w) { return Control<QMenu>(w, "Aide1")->title(); }},
    {"About1", &TLanguageTexts::About1, [](TForm1& w) { return Control<QAction>(w, "About1")->text(); }},
    {"About2", &TLanguageTexts::About2, [](TForm1& w) { return Control<QAction>(w, "About2")->text(); }},
    {"Smallest1", &TLanguageTexts::Smallest1, [](TForm1& w) { return Control<QAction>(w, "Smallest1")->text(); }},
    {"ExactColours1", &TLanguageTexts::ExactColours1, [](TForm1& w) { return Control<QAction>(w, "ExactColours1")->text(); }},
    {"ExactTiming1", &TLanguageTexts::ExactTiming1, [](TForm1& w) { return Control<QAction>(w, "ExactTiming1")->text(); }},
};

// The texts that read the same in both languages.
QStringList FixedTexts(TForm1& w) {
  return {w.windowTitle(),      Control<QCheckBox>(w, "CheckBoxPalette")->text(), Control<QCheckBox>(w, "CheckBox1")->text(),
          Control<QLabel>(w, "StaticText1")->text(), Control<QMenu>(w, "Language1")->title(),      Control<QMenu>(w, "Language2")->title(),
          Control<QAction>(w, "English1")->text(),    Control<QAction>(w, "Francais1")->text(),       w.OpenDialog1.DefaultExt,
          w.SaveDialog1.DefaultExt};
}

// Checks that Picture shows Frame pixel by pixel in the frame's colours.
void ComparePicture(const QImage& picture, const fw::TAnimationFrame& frame) {
  QCOMPARE(picture.width(), frame.Picture.Width);
  QCOMPARE(picture.height(), frame.Picture.Height);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const fw::TRgb& c = frame.Colours[frame.Picture.At(x, y)];
      if (picture.pixel(x, y) != qRgb(c.Red, c.Green, c.Blue)) {
        QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
      }
    }
  }
}

// A window whose Convert button state is recorded whenever the conversion
// reads its options, which it does before every frame.
class ObservedWindow : public TForm1 {
 public:
  using TForm1::TForm1;
  mutable std::vector<bool> buttonEnabledWhileConverting;
  TConvertOptions ReadOptions() const override {
    buttonEnabledWhileConverting.push_back(Control<QPushButton>(*this, "Button2")->isEnabled());
    return TForm1::ReadOptions();
  }
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    frames_ = MovingBlocks(40, 30, 6, 7);
    flic_ = Q(folder_ / "walk.old.flc");
    WriteAnimation(folder_ / "walk.old.flc", frames_);
  }

  void StartsInEnglishCentredAndSized() {
    TForm1 window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Tovasel"));
    QCOMPARE(window.size(), QSize(800, 414));
    QCOMPARE(Control<QAction>(window, "About2")->text(), QStringLiteral("About ..."));
    QCOMPARE(window.OpenDialog1.Filter,
             QStringLiteral("FLC files (*.flc)|*.flc|FLI files (*.fli)|*.fli|All (*.*)|*.*"));
    QVERIFY(Control<QAction>(window, "English1")->isChecked());
    QVERIFY(!Control<QAction>(window, "Francais1")->isChecked());
    QVERIFY(Control<QScrollBar>(window, "ScrollBar1")->isHidden());
    QVERIFY(Control<QLabel>(window, "StaticText1")->isHidden());
    QVERIFY(Control<QLabel>(window, "StaticText2")->isHidden());
    QCOMPARE(Control<QLabel>(window, "StaticText2")->text(), QStringLiteral("0"));
    QCOMPARE(Control<QProgressBar>(window, "ProgressBar1")->maximum(), 100);
    QCOMPARE(Control<QProgressBar>(window, "ProgressBar1")->value(), 0);
    QVERIFY(Control<QLineEdit>(window, "LabeledEdit1")->isReadOnly());
    QVERIFY(Control<QPlainTextEdit>(window, "Memo1")->toPlainText().isEmpty());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(qAbs(window.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(window.geometry().center().y() - screen.center().y()) <= 1);
  }

  void LanguageTables_data() {
    QTest::addColumn<int>("row");
    for (const LanguageControl& c : kLanguageControls) QTest::newRow(c.name) << static_cast<int>(&c - kLanguageControls);
  }

  // Start-up, French, back to English, and French chosen twice: each control
  // shows the table's own text (the wording itself lives in the table).
  void LanguageTables() {
    QFETCH(int, row);
    const LanguageControl& c = kLanguageControls[row];
    const QString english = QString::fromUtf8(LanguageTexts(kLanguageEnglish).*c.text);
    const QString french = QString::fromUtf8(LanguageTexts(kLanguageFrench).*c.text);
    QVERIFY(english != french);
    TForm1 window;
    QCOMPARE(c.read(window), english);
    Control<QAction>(window, "Francais1")->trigger();
    QCOMPARE(c.read(window), french);
    QVERIFY(Control<QAction>(window, "Francais1")->isChecked() && !Control<QAction>(window, "English1")->isChecked());
    Control<QAction>(window, "Francais1")->trigger();
    QCOMPARE(c.read(window), french);
    Control<QAction>(window, "English1")->trigger();
    QCOMPARE(c.read(window), english);
    QVERIFY(Control<QAction>(window, "English1")->isChecked() && !Control<QAction>(window, "Francais1")->isChecked());
  }

  void LanguageSwitchLeavesOtherTextsAlone() {
    TForm1 window;
    const QStringList before = FixedTexts(window);
    Control<QAction>(window, "Francais1")->trigger();
    QCOMPARE(FixedTexts(window), before);
  }

  void CaptionsFitTheirControls_data() {
    QTest::addColumn<int>("language");
    QTest::newRow("English") << 2;
    QTest::newRow("French") << 1;
  }

  // Positions are fixed, so a caption wider than its control is cut off.
  void CaptionsFitTheirControls() {
    QFETCH(int, language);
    TForm1 window;
    window.ApplyLanguage(language);
    const QList<QWidget*> controls{Control<QLabel>(window, "Label1"),          Control<QLabel>(window, "LabeledEdit1Label"), Control<QLabel>(window, "LabeledEdit3Label"),
                                   Control<QLabel>(window, "LabeledEdit4Label"), Control<QLabel>(window, "StaticText1"),     Control<QLabel>(window, "StaticText3"),
                                   Control<QCheckBox>(window, "CheckBoxPalette"), Control<QCheckBox>(window, "CheckBoxMerge"),     Control<QCheckBox>(window, "CheckBoxCrop"),
                                   Control<QCheckBox>(window, "CheckLimiteFrame"), Control<QCheckBox>(window, "CheckBox1")};
    for (QWidget* control : controls) {
      QVERIFY2(control->sizeHint().width() <= control->width(),
               qPrintable(QStringLiteral("%1 needs %2 pixels, has %3")
                              .arg(control->metaObject()->className())
                              .arg(control->sizeHint().width())
                              .arg(control->width())));
    }
    // A push button asks for a minimum width whatever its text: measure the text.
    QVERIFY(Control<QPushButton>(window, "Button2")->fontMetrics().horizontalAdvance(Control<QPushButton>(window, "Button2")->text()) + 12 <= Control<QPushButton>(window, "Button2")->width());
    QVERIFY(Control<QCheckBox>(window, "CheckLimiteFrame")->geometry().right() < Control<QLineEdit>(window, "Edit1")->x());
    QVERIFY(Control<QLabel>(window, "StaticText1")->geometry().right() < Control<QLabel>(window, "StaticText2")->x());
    QVERIFY(Control<QGroupBox>(window, "GroupBox1")->geometry().right() < Control<QPlainTextEdit>(window, "Memo1")->x());
  }

  void OpenFillsFieldsAndPreview() {
    ScriptedDialogs dialogs;
    dialogs.openAnswer = flic_;
    TForm1 window(dialogs.Hooks());
    Control<QAction>(window, "Ouvrir1")->trigger();
    QCOMPARE(dialogs.lastOpenSettings.DefaultExt, QStringLiteral("Flc"));
    QVERIFY(dialogs.lastOpenSettings.Filter.startsWith(QStringLiteral("FLC files")));
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit1")->text(), QStringLiteral("6"));
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit3")->text(), QStringLiteral("30"));
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit4")->text(), QStringLiteral("40"));
    QCOMPARE(Control<QLabel>(window, "StaticText3")->text(), QStringLiteral("walk.old.flc"));
    QVERIFY(!Control<QScrollBar>(window, "ScrollBar1")->isHidden());
    QVERIFY(!Control<QLabel>(window, "StaticText1")->isHidden());
    QVERIFY(!Control<QLabel>(window, "StaticText2")->isHidden());
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->minimum(), 0);
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->maximum(), 5);
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->value(), 0);
    QCOMPARE(Control<QLabel>(window, "StaticText2")->text(), QStringLiteral("0"));
    QCOMPARE(window.Session().FrameCache.Count(), 6);
    // The capture ends on FLIC frame 1.
    ComparePicture(Control<TPreviewImage>(window, "Image1")->Picture(), frames_[0]);
    QVERIFY(dialogs.messages.isEmpty());
    QVERIFY(dialogs.errors.isEmpty());

    // Entry p holds FLIC frame p + 2.
    Control<QScrollBar>(window, "ScrollBar1")->setValue(2);
    QCOMPARE(Control<QLabel>(window, "StaticText2")->text(), QStringLiteral("2"));
    ComparePicture(Control<TPreviewImage>(window, "Image1")->Picture(), frames_[3]);
    Control<QScrollBar>(window, "ScrollBar1")->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(Control<QLabel>(window, "StaticText2")->text(), QStringLiteral("5"));
    ComparePicture(Control<TPreviewImage>(window, "Image1")->Picture(), frames_[0]);

    // A language switch puts the caption back in place of the name.
    Control<QAction>(window, "Francais1")->trigger();
    QCOMPARE(Control<QLabel>(window, "StaticText3")->text(), QStringLiteral("Nom du fichier"));
  }

  void OpenOfMissingOrForeignFileShowsErrorBox_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "none.flc" << "no such file.";
    QTest::newRow("not a FLIC") << "foreign.flc" << "not a FLIC file (shorter than the 128-byte header)";
  }

  // The open runs to its end as for any file, then says what went wrong.
  void OpenOfMissingOrForeignFileShowsErrorBox() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    const QString path = Q(folder_ / name.toStdString());
    std::ofstream(folder_ / "foreign.flc") << "GIF89a, not a FLIC file";
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    window.OpenFile(flic_);
    Control<QScrollBar>(window, "ScrollBar1")->setValue(3);
    dialogs.openAnswer = path;
    Control<QAction>(window, "Ouvrir1")->trigger();
    QCOMPARE(dialogs.errors, QStringList{"Cannot open FLIC file " + path + ": " + reason});
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit1")->text(), QStringLiteral("0"));
    QCOMPARE(Control<QLabel>(window, "StaticText3")->text(), name);
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->maximum(), 0);
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->value(), 0);
    QCOMPARE(window.Session().FrameCache.Count(), 0);
    QVERIFY(dialogs.messages.isEmpty());
    // Convert then has nothing to do and asks nothing.
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.saveAsked, 0);
    QCOMPARE(dialogs.errors.size(), 1);
  }

  // A file too large for memory leaves the window showing the empty cache,
  // not the previous file's count, range and picture.
  void RefusedOpenShowsTheEmptyCache() {
    // 65535 frames of 2048 x 2048 pixels, all but two of them empty: more
    // than any machine's budget holds, however few bytes the file has.
    auto layout = fw::BuildAnimation(MovingBlocks(2048, 2048, 2, 1), {});
    layout.Frames.insert(layout.Frames.end() - 1, 65533, fw::TFrame{});
    fw::WriteFile(folder_ / "huge.flc", fw::Serialize(layout));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    window.OpenFile(flic_);
    Control<QScrollBar>(window, "ScrollBar1")->setValue(4);
    window.OpenFile(Q(folder_ / "huge.flc"));
    QCOMPARE(dialogs.errors, QStringList{Q("FLIC file " + folder_ / "huge.flc" + " has too many frames to keep in memory: " +
                                           MemoryText(FramesCost(65535, 2048 * 2048)) + " needed, " +
                                           MemoryText(DefaultFrameBudget()) + " allowed.")});
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit1")->text(), QStringLiteral("0"));
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit3")->text(), QStringLiteral("2048"));
    QCOMPARE(Control<QLabel>(window, "StaticText3")->text(), QStringLiteral("huge.flc"));
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->maximum(), 0);
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->value(), 0);
    QVERIFY(Control<TPreviewImage>(window, "Image1")->Picture().isNull());
    QCOMPARE(window.Session().FrameCache.Count(), 0);
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.saveAsked, 0);
    QCOMPARE(dialogs.errors.size(), 1);
  }

  // A file that opens without frames is refused by Convert, as in the batch.
  void ConvertOfFileWithoutFramesShowsErrorBox() {
    auto layout = fw::BuildAnimation(MovingBlocks(9, 7, 2, 1), {});
    layout.FrameCountOverride = 0;
    fw::WriteFile(folder_ / "empty.flc", fw::Serialize(layout));
    ScriptedDialogs dialogs;
    dialogs.saveAnswer = Q(folder_ / "empty.gif");
    TForm1 window(dialogs.Hooks());
    window.OpenFile(Q(folder_ / "empty.flc"));
    QVERIFY(dialogs.errors.isEmpty());
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit1")->text(), QStringLiteral("0"));
    Control<QCheckBox>(window, "CheckLimiteFrame")->setChecked(true);
    Control<QLineEdit>(window, "Edit1")->setText(QStringLiteral("0"));
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.saveAsked, 0);
    QCOMPARE(dialogs.errors, QStringList{Q("FLIC file " + folder_ / "empty.flc" + " has no frames to convert.")});
    QVERIFY(!QFile::exists(Q(folder_ / "empty.gif")));
  }

  void FileArgumentOpens_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");  // relative to the working folder; empty for none
    QTest::newRow("none") << QStringList{"tovasel"} << QString();
    QTest::newRow("one file") << QStringList{"tovasel", "walk.flc"} << "walk.flc";
    QTest::newRow("after an option") << QStringList{"tovasel", "--verbose", "a.flc"} << "a.flc";
    QTest::newRow("after --") << QStringList{"tovasel", "--", "-dash.flc"} << "-dash.flc";
    QTest::newRow("first of two") << QStringList{"tovasel", "a.flc", "b.flc"} << "a.flc";
  }

  void FileArgumentOpens() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    const std::optional<QString> found = FileArgument(arguments);
    QCOMPARE(found.has_value(), !file.isEmpty());
    if (found) QCOMPARE(*found, QDir::current().absoluteFilePath(file));
  }

  void AbsoluteFileArgumentOpensAsOpenDoes() {
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    const std::optional<QString> file = FileArgument({"tovasel", flic_});
    QVERIFY(file);
    window.OpenFile(*file);
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit1")->text(), QStringLiteral("6"));
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.lastSaveSettings.FileName, Q(folder_ / "walk.old"));
  }

  void TabInTheLogMovesOn() {
    TForm1 window;
    Control<QPlainTextEdit>(window, "Memo1")->setPlainText(QStringLiteral("line"));
    QTest::keyClick(Control<QPlainTextEdit>(window, "Memo1"), Qt::Key_Tab);
    QCOMPARE(Control<QPlainTextEdit>(window, "Memo1")->toPlainText(), QStringLiteral("line"));
    QVERIFY(Control<QPlainTextEdit>(window, "Memo1")->tabChangesFocus());
  }

  void ScrollBarKeysStepAsTheyRead_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");  // from position 2 of 0..5
    QTest::newRow("Left") << int(Qt::Key_Left) << 1;
    QTest::newRow("Up") << int(Qt::Key_Up) << 1;
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << 1;
    QTest::newRow("Right") << int(Qt::Key_Right) << 3;
    QTest::newRow("Down") << int(Qt::Key_Down) << 3;
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 3;
    QTest::newRow("Home") << int(Qt::Key_Home) << 0;
    QTest::newRow("End") << int(Qt::Key_End) << 5;
  }

  void ScrollBarKeysStepAsTheyRead() {
    QFETCH(int, key);
    QFETCH(int, expected);
    TForm1 window;
    window.OpenFile(flic_);
    Control<QScrollBar>(window, "ScrollBar1")->setValue(2);
    QTest::keyClick(Control<QScrollBar>(window, "ScrollBar1"), Qt::Key(key));
    QCOMPARE(Control<QScrollBar>(window, "ScrollBar1")->value(), expected);
    QCOMPARE(Control<QLabel>(window, "StaticText2")->text(), QString::number(expected));
  }

  void FocusedScrollBarShowsAFocusFrame() {
    TForm1 window;
    window.OpenFile(flic_);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    Control<QPushButton>(window, "Button2")->setFocus();
    const QImage unfocused = Control<QScrollBar>(window, "ScrollBar1")->grab().toImage();
    Control<QScrollBar>(window, "ScrollBar1")->setFocus();
    QVERIFY(Control<QScrollBar>(window, "ScrollBar1")->hasFocus());
    const QImage focused = Control<QScrollBar>(window, "ScrollBar1")->grab().toImage();
    QVERIFY(focused != unfocused);
  }

  // Qt's own dialogs and buttons follow the interface language.
  void ToolkitTextsFollowTheLanguage() {
    if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_fr.qm")) {
      QSKIP("the toolkit's French translations are not installed");
    }
    const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
    TForm1 window;
    QCOMPARE(cancel(), QStringLiteral("Cancel"));
    Control<QAction>(window, "Francais1")->trigger();
    QCOMPARE(cancel(), QStringLiteral("Annuler"));
    Control<QAction>(window, "English1")->trigger();
    QCOMPARE(cancel(), QStringLiteral("Cancel"));
    Control<QAction>(window, "Francais1")->trigger();
  }

  // Closing a window in French leaves no French behind.
  void ToolkitTextsEndWithTheWindow() {
    { TForm1 window; Control<QAction>(window, "Francais1")->trigger(); }
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
  }

  void CancelledOpenChangesNothing() {
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    Control<QAction>(window, "Ouvrir1")->trigger();
    QVERIFY(Control<QScrollBar>(window, "ScrollBar1")->isHidden());
    QVERIFY(Control<QLineEdit>(window, "LabeledEdit1")->text().isEmpty());
    // Nothing cached: Convert asks nothing.
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.saveAsked, 0);
  }

  void DroppedFlicOpensLikeOpen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("flc") << "walk.old.flc" << true;
    QTest::newRow("upper-case FLI") << "drop.FLI" << true;
    QTest::newRow("gif") << "walk.gif" << false;
  }

  void DroppedFlicOpensLikeOpen() {
    QFETCH(QString, name);
    QFETCH(bool, opens);
    const QString path = Q(folder_ / name.toStdString());
    if (opens && !QFile::exists(path)) QFile::copy(flic_, path);
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QCOMPARE(enter.isAccepted(), opens);
    if (!opens) return;
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(Control<QLineEdit>(window, "LabeledEdit1")->text(), QStringLiteral("6"));
    QCOMPARE(Control<QLabel>(window, "StaticText3")->text(), name);
    // Convert suggests the dropped file's name.
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.lastSaveSettings.FileName, Q(StripExtension(path.toStdString())));
  }

  void ConvertMatchesCommandLine_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("limit");
    QTest::newRow("plain") << QStringList{} << QString();
    QTest::newRow("transparent merge crop") << QStringList{"--transparent", "--merge", "--crop"} << QString();
    QTest::newRow("palette, limit 2") << QStringList{"--palette"} << QStringLiteral("2");
    QTest::newRow("limit past the end") << QStringList{"--merge"} << QStringLiteral("8");
  }

  void ConvertMatchesCommandLine() {
    QFETCH(QStringList, options);
    QFETCH(QString, limit);
    ScriptedDialogs dialogs;
    const QString out = Q(folder_ / "window.gif");
    dialogs.saveAnswer = out;
    dialogs.openAnswer = flic_;
    ObservedWindow window(dialogs.Hooks());
    Control<QAction>(window, "Ouvrir1")->trigger();
    Control<QCheckBox>(window, "CheckBox1")->setChecked(options.contains("--transparent"));
    Control<QCheckBox>(window, "CheckBoxPalette")->setChecked(options.contains("--palette"));
    Control<QCheckBox>(window, "CheckBoxMerge")->setChecked(options.contains("--merge"));
    Control<QCheckBox>(window, "CheckBoxCrop")->setChecked(options.contains("--crop"));
    Control<QCheckBox>(window, "CheckLimiteFrame")->setChecked(!limit.isEmpty());
    Control<QLineEdit>(window, "Edit1")->setText(limit);
    Control<QPushButton>(window, "Button2")->click();

    QCOMPARE(dialogs.saveAsked, 1);
    // The suggestion drops only the last extension.
    QCOMPARE(dialogs.lastSaveSettings.FileName, Q(folder_ / "walk.old"));
    QCOMPARE(dialogs.lastSaveSettings.DefaultExt, QStringLiteral("gif"));
    QCOMPARE(dialogs.lastSaveSettings.Filter, QStringLiteral("Gif files (*.gif)|*.gif|All (*.*)|*.*"));
    QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join('\n')));
    const int frames = limit.isEmpty() ? 6 : limit.toInt() + 1;
    QCOMPARE(Control<QProgressBar>(window, "ProgressBar1")->maximum(), frames);
    QCOMPARE(Control<QProgressBar>(window, "ProgressBar1")->value(), frames);
    QVERIFY(!window.buttonEnabledWhileConverting.empty());
    for (bool enabled : window.buttonEnabledWhileConverting) QVERIFY(!enabled);
    QVERIFY(Control<QPushButton>(window, "Button2")->isEnabled());

    const QString cliOut = Q(folder_ / "cli.gif");
    QStringList arguments{"convert", flic_, "-o", cliOut};
    arguments << options;
    if (!limit.isEmpty()) arguments << "--limit" << limit;
    RunCli(arguments);
    const QByteArray expected = FileBytes(cliOut);
    QVERIFY(!expected.isEmpty());
    QVERIFY(FileBytes(out) == expected);
  }

  void ConvertMenuItemConvertsToo() {
    ScriptedDialogs dialogs;
    const QString out = Q(folder_ / "menu.gif");
    dialogs.saveAnswer = out;
    TForm1 window(dialogs.Hooks());
    window.OpenFile(flic_);
    Control<QAction>(window, "Convertirfichier1")->trigger();
    QCOMPARE(dialogs.saveAsked, 1);
    QVERIFY(QFile::exists(out));
  }

  void CancelledSaveWritesNothing() {
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    window.OpenFile(flic_);
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.saveAsked, 1);
    QCOMPARE(Control<QProgressBar>(window, "ProgressBar1")->value(), 0);
  }

  void BadLimitShowsErrorBox_data() {
    QTest::addColumn<QString>("limit");
    QTest::addColumn<QString>("message");
    QTest::newRow("letters") << "abc" << "'abc' is not a valid integer value.";
    QTest::newRow("empty") << "" << "'' is not a valid integer value.";
    QTest::newRow("below -1") << "-2" << "QProgressBar property out of range.";
    QTest::newRow("no frame") << "-1" << "Unsupported GIF version.";
  }

  void BadLimitShowsErrorBox() {
    QFETCH(QString, limit);
    QFETCH(QString, message);
    ScriptedDialogs dialogs;
    const QString out = Q(folder_ / "bad-limit.gif");
    QFile::remove(out);
    dialogs.saveAnswer = out;
    TForm1 window(dialogs.Hooks());
    window.OpenFile(flic_);
    Control<QCheckBox>(window, "CheckLimiteFrame")->setChecked(true);
    Control<QLineEdit>(window, "Edit1")->setText(limit);
    Control<QPushButton>(window, "Button2")->click();
    QCOMPARE(dialogs.errors, QStringList{message});
    QVERIFY(!QFile::exists(out));
    QVERIFY(Control<QPushButton>(window, "Button2")->isEnabled());
    QVERIFY(Control<QAction>(window, "Convertirfichier1")->isEnabled());
  }

  // Ticked, the item writes the command line's --optimize output from
  // Convert and the batch; the boxes it replaces wait, disabled, with their
  // ticks, until it is unticked.
  void SmallestGifItem() {
    TempFolder tree("window-smallest");
    WriteAnimation(tree / "a.flc", MovingBlocks(24, 16, 5, 3));
    ScriptedDialogs dialogs;
    const QString out = Q(tree / "window.gif");
    dialogs.saveAnswer = out;
    dialogs.folderAnswer = Q(tree.path().string());
    TForm1 window(dialogs.Hooks());
    QVERIFY(Control<QAction>(window, "Smallest1")->isCheckable());
    QVERIFY(!Control<QAction>(window, "Smallest1")->isChecked());
    QVERIFY(Control<QMenu>(window, "Language1")->actions().contains(Control<QAction>(window, "Smallest1")));
    Control<QCheckBox>(window, "CheckBoxPalette")->setChecked(true);
    Control<QCheckBox>(window, "CheckBoxCrop")->setChecked(true);
    Control<QCheckBox>(window, "CheckBox1")->setChecked(true);
    Control<QAction>(window, "Smallest1")->trigger();
    for (QCheckBox* box : {Control<QCheckBox>(window, "CheckBoxPalette"), Control<QCheckBox>(window, "CheckBoxMerge"), Control<QCheckBox>(window, "CheckBoxCrop")}) {
      QVERIFY(!box->isEnabled());
    }
    QVERIFY(Control<QCheckBox>(window, "CheckBox1")->isEnabled() && Control<QCheckBox>(window, "CheckLimiteFrame")->isEnabled());
    QVERIFY(Control<QCheckBox>(window, "CheckBoxPalette")->isChecked() && Control<QCheckBox>(window, "CheckBoxCrop")->isChecked());

    window.OpenFile(Q(tree / "a.flc"));
    Control<QPushButton>(window, "Button2")->click();
    Control<QAction>(window, "Batchrpertoire1")->trigger();
    QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join('\n')));
    const QString cliOut = Q(tree / "cli.gif");
    RunCli({"convert", Q(tree / "a.flc"), "-o", cliOut, "--optimize", "--transparent"});
    const QByteArray expected = FileBytes(cliOut);
    QVERIFY(!expected.isEmpty());
    QVERIFY(FileBytes(out) == expected);
    QVERIFY(FileBytes(Q(tree / "a.gif")) == expected);

    Control<QAction>(window, "Smallest1")->trigger();
    for (QCheckBox* box : {Control<QCheckBox>(window, "CheckBoxPalette"), Control<QCheckBox>(window, "CheckBoxMerge"), Control<QCheckBox>(window, "CheckBoxCrop")}) {
      QVERIFY(box->isEnabled());
    }
    QVERIFY(Control<QCheckBox>(window, "CheckBoxPalette")->isChecked() && !Control<QCheckBox>(window, "CheckBoxMerge")->isChecked() &&
            Control<QCheckBox>(window, "CheckBoxCrop")->isChecked());
    TForm1 restarted;
    QVERIFY(!Control<QAction>(restarted, "Smallest1")->isChecked());
  }

  void BatchMatchesCommandLine() {
    TempFolder tree("window-batch");
    std::filesystem::create_directories(tree.path() / "sub");
    WriteAnimation(tree / "a.flc", MovingBlocks(24, 16, 3, 1));
    WriteAnimation(tree / "sub/b.FLC", MovingBlocks(16, 24, 4, 2));
    ScriptedDialogs dialogs;
    dialogs.folderAnswer = Q(tree.path().string());
    TForm1 window(dialogs.Hooks());
    Control<QCheckBox>(window, "CheckBoxMerge")->setChecked(true);
    Control<QAction>(window, "Batchrpertoire1")->trigger();
    QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join('\n')));

    QStringList log = Control<QPlainTextEdit>(window, "Memo1")->toPlainText().split('\n');
    QCOMPARE(log.takeFirst(), QStringLiteral("Choix du repertoire à scanner"));
    QCOMPARE(log.value(2), QStringLiteral("2 fichiers trouvés"));
    const QByteArray a = FileBytes(Q(tree / "a.gif"));
    const QByteArray b = FileBytes(Q(tree / "sub/b.gif"));
    QVERIFY(!a.isEmpty() && !b.isEmpty());

    const QString cliLog = QString::fromUtf8(RunCli({"batch", Q(tree.path().string()), "--merge"}));
    QCOMPARE(log, cliLog.trimmed().split('\n'));
    QVERIFY(FileBytes(Q(tree / "a.gif")) == a);
    QVERIFY(FileBytes(Q(tree / "sub/b.gif")) == b);
    // The last file stays open in the window.
    QCOMPARE(Control<QLabel>(window, "StaticText3")->text(), QStringLiteral("b.FLC"));
  }

  void CancelledBatchLogsOnlyTheQuestion() {
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    Control<QAction>(window, "Batchrpertoire1")->trigger();
    Control<QAction>(window, "Batchrpertoire1")->trigger();
    QCOMPARE(Control<QPlainTextEdit>(window, "Memo1")->toPlainText(),
             QStringLiteral("Choix du repertoire à scanner\nChoix du repertoire à scanner"));
  }

  void BatchErrorEndsInErrorBox() {
    TempFolder tree("window-batch-error");
    std::ofstream(tree / "broken.flc") << "not a FLIC file";
    ScriptedDialogs dialogs;
    dialogs.folderAnswer = Q(tree.path().string());
    TForm1 window(dialogs.Hooks());
    Control<QAction>(window, "Batchrpertoire1")->trigger();
    QCOMPARE(dialogs.errors.size(), 1);
    QVERIFY(Control<QPlainTextEdit>(window, "Memo1")->toPlainText().endsWith(Q("Traitement de " + tree / "broken.flc")));
  }

  void ManualItemDoesNothing() {
    ScriptedDialogs dialogs;
    TForm1 window(dialogs.Hooks());
    Control<QAction>(window, "About1")->trigger();
    QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
    QVERIFY(Control<QPlainTextEdit>(window, "Memo1")->toPlainText().isEmpty());
  }

 private:
  TempFolder folder_{"window"};
  std::vector<fw::TAnimationFrame> frames_;
  QString flic_;
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
