// The floor the game is measured against: a bare Qt window of the game's size, kept awake by
// one 1 ms precise timer that does nothing. With JANGORA_TRACE set it reports its presses and
// painted frames on stderr as the game does.

#include "runtime/qt/frame_trace.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Jangora floor"));
    window.resize(607, 449);
    jangora::FrameTrace::watchIfAsked(window);
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [] {});
    ticker.start(1);
    window.show();
    return QApplication::exec();
}
