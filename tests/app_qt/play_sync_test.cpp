#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QtTest>

#include "app/app_test_support.h"
#include "app/qt/qt_play_sync.h"
#include "flic/flic_player.h"

using namespace tovasel;

// The player's timed playback with its steps queued to the Qt event loop:
// the play thread must hand every step to this thread and end when asked.
class PlaySyncTest : public QObject {
  Q_OBJECT

 private slots:
  void PlaysToTheStopFrameThroughTheEventLoop() {
    testing::TempFolder folder("qt-play");
    flicwriter::TAnimationOptions options;
    options.Speed = 1;
    testing::WriteAnimation(folder / "a.flc", testing::MovingBlocks(8, 6, 5, 1), options);

    QObject context;
    TQtPlayDispatcher dispatcher(&context);
    TFlicPlayer32 player;
    player.SetPlayDispatcher(&dispatcher);
    player.FileName = folder / "a.flc";
    player.Open();
    QVERIFY(player.IsOpen());
    player.SetStopFrame(player.FrameCount());
    player.Play();
    QCOMPARE(player.PlayState(), psPlaying);
    // Steps run only while this thread processes events.
    QTRY_COMPARE_WITH_TIMEOUT(player.PlayState(), psIdle, 10000);
    QCOMPARE(player.CurrentFrame(), 5);
    QCOMPARE(player.CurrentLoop(), 1);
  }

  void StopEndsAPlayerWaitingOutALongFrame() {
    testing::TempFolder folder("qt-stop");
    flicwriter::TAnimationOptions options;
    options.Speed = 60000;  // a minute per frame
    testing::WriteAnimation(folder / "a.flc", testing::MovingBlocks(8, 6, 3, 2), options);

    QObject context;
    TQtPlayDispatcher dispatcher(&context);
    TFlicPlayer32 player;
    player.SetPlayDispatcher(&dispatcher);
    player.FileName = folder / "a.flc";
    player.Open();
    player.Play();
    QTRY_COMPARE_WITH_TIMEOUT(player.CurrentFrame(), 2, 10000);
    QElapsedTimer timer;
    timer.start();
    player.Stop();
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(player.PlayState(), psIdle);
    QCOMPARE(player.CurrentFrame(), 2);
  }
};

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  PlaySyncTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "play_sync_test.moc"
