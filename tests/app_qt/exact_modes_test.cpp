#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "app/qt/main_window.h"
#include "window_test_support.h"

using namespace tovasel;
using namespace tovasel::testing;

namespace {

// Ticks in the window what these command-line options ask for.
void TickAsTheCommandLine(TForm1& window, const QStringList& options) {
  Control<QCheckBox>(window, "CheckBox1")->setChecked(options.contains("--transparent"));
  Control<QCheckBox>(window, "CheckBoxMerge")->setChecked(options.contains("--merge"));
  if (options.contains("--optimize")) Control<QAction>(window, "Smallest1")->trigger();
  if (options.contains("--exact-colours")) Control<QAction>(window, "ExactColours1")->trigger();
  if (options.contains("--exact-timing")) Control<QAction>(window, "ExactTiming1")->trigger();
}

QStringList WithoutExactModes(QStringList options) {
  options.removeAll("--exact-colours");
  options.removeAll("--exact-timing");
  return options;
}

}  // namespace

// The Option menu's "Exact colours" and "Exact timing": what they show, and
// that Convert and the batch then write what the command line's
// --exact-colours and --exact-timing write.
class ExactModesTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    WriteAnimation(folder_ / "walk.flc", MovingBlocks(40, 30, 6, 7));
    // At speed 5 the window's own timing gives a FLI delay 0.
    fw::TAnimationOptions fli;
    fli.FliDeltas = fli.Colour64 = fli.Classic = true;
    fli.Speed = 5;
    auto layout = fw::BuildAnimation(MovingBlocks(24, 16, 5, 3), fli);
    layout.Magic = 0xAF11;
    fw::WriteFile(folder_ / "walk.fli", fw::Serialize(layout));
  }

  void ItemsStartOffBesideSmallest() {
    TForm1 window;
    const QList<QAction*> items = Control<QMenu>(window, "Language1")->actions();
    const qsizetype smallest = items.indexOf(Control<QAction>(window, "Smallest1"));
    QCOMPARE(items.value(smallest + 1), Control<QAction>(window, "ExactColours1"));
    QCOMPARE(items.value(smallest + 2), Control<QAction>(window, "ExactTiming1"));
    for (const char* name : {"ExactColours1", "ExactTiming1"}) {
      QAction* item = Control<QAction>(window, name);
      QVERIFY(item->isCheckable() && !item->isChecked() && item->isEnabled());
    }
    const TConvertOptions options = window.ReadOptions();
    QVERIFY(!options.ExactColours && !options.ExactTiming);
  }

  void ConvertMatchesCommandLine_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("exact colours") << "walk.flc" << QStringList{"--exact-colours"};
    QTest::newRow("exact timing, FLC") << "walk.flc" << QStringList{"--exact-timing"};
    QTest::newRow("exact timing, FLI at speed 5") << "walk.fli" << QStringList{"--exact-timing"};
    QTest::newRow("both, transparent merge")
        << "walk.flc" << QStringList{"--exact-colours", "--exact-timing", "--transparent", "--merge"};
    QTest::newRow("smallest, exact timing") << "walk.fli" << QStringList{"--optimize", "--exact-timing"};
  }

  // The items must change the bytes, and into the command line's.
  void ConvertMatchesCommandLine() {
    QFETCH(QString, file);
    QFETCH(QStringList, options);
    ScriptedDialogs dialogs;
    const QString out = Q(folder_ / "window.gif");
    dialogs.saveAnswer = out;
    TForm1 window(dialogs.Hooks());
    window.OpenFile(Q(folder_ / file.toStdString()));
    TickAsTheCommandLine(window, options);
    Control<QPushButton>(window, "Button2")->click();
    QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join('\n')));

    const QString input = Q(folder_ / file.toStdString());
    const QString cliOut = Q(folder_ / "cli.gif");
    RunCli(QStringList{"convert", input, "-o", cliOut} + options);
    const QByteArray expected = FileBytes(cliOut);
    RunCli(QStringList{"convert", input, "-o", cliOut} + WithoutExactModes(options));
    const QByteArray withoutThem = FileBytes(cliOut);
    QVERIFY(!expected.isEmpty() && !withoutThem.isEmpty());
    QVERIFY(expected != withoutThem);
    QVERIFY(FileBytes(out) == expected);
  }

  void BatchMatchesCommandLine() {
    TempFolder tree("exact-batch");
    WriteAnimation(tree / "a.flc", MovingBlocks(24, 16, 4, 5));
    ScriptedDialogs dialogs;
    dialogs.folderAnswer = Q(tree.path().string());
    TForm1 window(dialogs.Hooks());
    TickAsTheCommandLine(window, {"--exact-colours", "--exact-timing"});
    Control<QAction>(window, "Batchrpertoire1")->trigger();
    QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join('\n')));
    RunCli({"convert", Q(tree / "a.flc"), "-o", Q(tree / "cli.gif"), "--exact-colours", "--exact-timing"});
    const QByteArray expected = FileBytes(Q(tree / "cli.gif"));
    QVERIFY(!expected.isEmpty());
    QVERIFY(FileBytes(Q(tree / "a.gif")) == expected);
  }

  void ExactColoursFollowsSmallest_data() {
    QTest::addColumn<bool>("chosen");
    QTest::newRow("left off") << false;
    QTest::newRow("ticked") << true;
  }

  // The lossless mode keeps the exact colours: the item says so, cannot be
  // changed meanwhile, and gives back the user's own tick afterwards.
  void ExactColoursFollowsSmallest() {
    QFETCH(bool, chosen);
    TForm1 window;
    QAction* exact = Control<QAction>(window, "ExactColours1");
    QAction* smallest = Control<QAction>(window, "Smallest1");
    if (chosen) exact->trigger();
    smallest->trigger();
    QVERIFY(exact->isChecked() && !exact->isEnabled());
    exact->trigger();
    QVERIFY(exact->isChecked());
    QVERIFY(window.ReadOptions().ExactColours);
    QVERIFY(Control<QAction>(window, "ExactTiming1")->isEnabled());
    Control<QAction>(window, "Francais1")->trigger();
    QVERIFY(exact->isChecked() && !exact->isEnabled());

    smallest->trigger();
    QCOMPARE(exact->isChecked(), chosen);
    QVERIFY(exact->isEnabled());
    QCOMPARE(window.ReadOptions().ExactColours, chosen);
    // The restored item works as before.
    exact->trigger();
    QCOMPARE(exact->isChecked(), !chosen);
  }

 private:
  TempFolder folder_{"exact-modes"};
};

QTEST_MAIN(ExactModesTest)
#include "exact_modes_test.moc"
