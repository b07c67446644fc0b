#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QtTest>

#include "app/qt/main_window.h"
#include "window_test_support.h"

using namespace tovasel;
using namespace tovasel::testing;

namespace {

// The right-hand panel's controls that reach its right and bottom edges,
// and the Convert button.
const char* const kEdgeControls[] = {"Memo1", "GroupBox1", "ProgressBar1", "Button2"};

// Fails unless every edge control lies inside the panel's frame and the
// panel inside the window.
void CheckControlsInView(TForm1& window) {
  auto* panel = Control<QFrame>(window, "Panel2");
  QVERIFY(panel->isVisible());
  const QRect panelInWindow(panel->mapTo(&window, QPoint(0, 0)), panel->size());
  QVERIFY2(window.rect().contains(panelInWindow),
           qPrintable(QStringLiteral("Panel2 at %1,%2 %3x%4 in a window of %5x%6")
                          .arg(panelInWindow.x()).arg(panelInWindow.y())
                          .arg(panelInWindow.width()).arg(panelInWindow.height())
                          .arg(window.width()).arg(window.height())));
  for (const char* name : kEdgeControls) {
    const QRect control = Control<QWidget>(window, name)->geometry();
    QVERIFY2(panel->contentsRect().contains(control),
             qPrintable(QStringLiteral("%1 ends at %2,%3; Panel2 shows up to %4,%5")
                            .arg(name).arg(control.right()).arg(control.bottom())
                            .arg(panel->contentsRect().right()).arg(panel->contentsRect().bottom())));
  }
}

void ShowAndActivate(TForm1& window) {
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
}

// A left-button drag of the splitter handle by Distance pixels.
void DragHandle(QSplitter& splitter, int distance) {
  QWidget* handle = splitter.handle(1);
  const QPointF from(handle->width() / 2.0, handle->height() / 2.0);
  const QPointF to = from + QPointF(distance, 0);
  QMouseEvent press(QEvent::MouseButtonPress, from, handle->mapToGlobal(from), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(handle, &press);
  QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(handle, &move);
  QMouseEvent release(QEvent::MouseButtonRelease, to, handle->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(handle, &release);
}

}  // namespace

// The window keeps its controls in view at any size and splitter position,
// and reaches its commands from the keyboard.
class WindowLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    flic_ = Q(folder_ / "walk.flc");
    WriteAnimation(folder_ / "walk.flc", MovingBlocks(40, 30, 3, 7));
  }

  void NeverSmallerThanDesigned_data() {
    QTest::addColumn<QSize>("asked");
    QTest::addColumn<bool>("shownFirst");
    QTest::newRow("500 x 300, shown") << QSize(500, 300) << true;
    QTest::newRow("500 x 300, before showing") << QSize(500, 300) << false;
    QTest::newRow("narrow only") << QSize(200, 600) << true;
    QTest::newRow("low only") << QSize(1000, 100) << true;
  }

  void NeverSmallerThanDesigned() {
    QFETCH(QSize, asked);
    QFETCH(bool, shownFirst);
    TForm1 window;
    if (shownFirst) ShowAndActivate(window);
    window.resize(asked);
    if (!shownFirst) ShowAndActivate(window);
    QCOMPARE(window.size(), asked.expandedTo(QSize(800, 414)));
    CheckControlsInView(window);
  }

  void SplitterKeepsPanel2Wide_data() {
    QTest::addColumn<int>("windowWidth");
    QTest::addColumn<QList<int>>("sizes");  // none: drag the handle instead
    QTest::addColumn<int>("drag");
    QTest::newRow("sizes squeeze Panel2 away") << 800 << QList<int>{792, 0} << 0;
    QTest::newRow("sizes squeeze Panel2 to 100") << 800 << QList<int>{692, 100} << 0;
    QTest::newRow("sizes in a wide window") << 1400 << QList<int>{1392, 0} << 0;
    QTest::newRow("drag to the right edge") << 800 << QList<int>{} << 2000;
    QTest::newRow("drag in a wide window") << 1400 << QList<int>{} << 2000;
    QTest::newRow("drag right by 100") << 800 << QList<int>{} << 100;
  }

  void SplitterKeepsPanel2Wide() {
    QFETCH(int, windowWidth);
    QFETCH(QList<int>, sizes);
    QFETCH(int, drag);
    TForm1 window;
    ShowAndActivate(window);
    window.resize(windowWidth, 414);
    auto* splitter = Control<QSplitter>(window, "Splitter1");
    if (!sizes.isEmpty()) splitter->setSizes(sizes);
    if (drag != 0) DragHandle(*splitter, drag);
    QVERIFY(splitter->sizes().value(1) > 0);
    CheckControlsInView(window);
  }

  void ShortcutsRunTheirCommands_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("french");
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << false;
    QTest::newRow("Ctrl+O in French") << int(Qt::Key_O) << true;
    QTest::newRow("Ctrl+Q") << int(Qt::Key_Q) << false;
    QTest::newRow("Ctrl+Q in French") << int(Qt::Key_Q) << true;
  }

  // Ctrl+O opens through the open dialog; Ctrl+Q ends the event loop.
  void ShortcutsRunTheirCommands() {
    QFETCH(int, key);
    QFETCH(bool, french);
    ScriptedDialogs dialogs;
    dialogs.openAnswer = flic_;
    TForm1 window(dialogs.Hooks());
    if (french) Control<QAction>(window, "Francais1")->trigger();
    ShowAndActivate(window);
    if (key == Qt::Key_O) {
      QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
      QCOMPARE(Control<QLineEdit>(window, "LabeledEdit1")->text(), QStringLiteral("3"));
      QVERIFY(window.isVisible());
      return;
    }
    // Exit code 1 only if the shortcut did not end the loop in time.
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    QTimer::singleShot(0, &window, [&window] { QTest::keyClick(&window, Qt::Key_Q, Qt::ControlModifier); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!window.isVisible());
    QVERIFY(Control<QLineEdit>(window, "LabeledEdit1")->text().isEmpty());
  }

  // Tab walks the right-hand panel in its designed order; the shortcuts
  // leave it alone.
  void TabOrder() {
    TForm1 window;
    window.OpenFile(flic_);
    ShowAndActivate(window);
    const QStringList expected{"LabeledEdit1",    "LabeledEdit3",  "LabeledEdit4", "ScrollBar1",
                               "Button2",         "CheckBoxPalette", "CheckBoxMerge", "CheckBoxCrop",
                               "CheckLimiteFrame", "Edit1",         "CheckBox1",    "Memo1"};
    QWidget* first = Control<QWidget>(window, "LabeledEdit1");
    first->setFocus();
    QStringList walked{first->objectName()};
    for (int i = 1; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      walked << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walked, expected);
  }

 private:
  TempFolder folder_{"window-layout"};
  QString flic_;
};

QTEST_MAIN(WindowLayoutTest)
#include "window_layout_test.moc"
