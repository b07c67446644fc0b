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
namespace {

// Opens an animation of the given speed in a player whose steps go to the
// Qt event loop through dispatcher.
void OpenPlaying(const testing::TempFolder& folder, std::uint32_t speed, int frames,
                 TQtPlayDispatcher& dispatcher, TFlicPlayer32& player) {
  flicwriter::TAnimationOptions options;
  options.Speed = speed;
  testing::WriteAnimation(folder / "a.flc", testing::MovingBlocks(8, 6, frames, 1), options);
  player.SetPlayDispatcher(&dispatcher);
  player.FileName = folder / "a.flc";
  player.Open();
}

}  // namespace

class PlaySyncTest : public QObject {
  Q_OBJECT

 private slots:
  void PlaysToTheStopFrameThroughTheEventLoop() {
    testing::TempFolder folder("qt-play");
    QObject context;
    TQtPlayDispatcher dispatcher(&context);
    TFlicPlayer32 player;
    OpenPlaying(folder, 1, 5, dispatcher, player);
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
    QObject context;
    TQtPlayDispatcher dispatcher(&context);
    TFlicPlayer32 player;
    OpenPlaying(folder, 60000, 3, dispatcher, player);  // a minute per frame
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
