// The floor the game is measured against: a bare Qt window of the game's size, kept awake by
// one 1 ms precise timer that does nothing. With JANGORA_FLOOR_TEXT not empty it also draws
// the two lines of text the game's first frame shows, asking for the faces the game's labels
// ask for: the floor of any program that shows text. With JANGORA_TRACE set it reports its
// presses and painted frames on stderr as the game does.

#include "runtime/qt/frame_trace.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {

class TextWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        QFont status(QStringLiteral("Arial"));
        status.setPixelSize(32);
        painter.setFont(status);
        painter.setPen(QColor(0x000080));
        painter.drawText(QRect(16, 48, 577, 41), Qt::AlignTop | Qt::AlignHCenter,
                         QStringLiteral("No game on."));
        QFont credit(QStringLiteral("MS Sans Serif"));
        credit.setPixelSize(13);
        credit.setBold(true);
        painter.setFont(credit);
        painter.setPen(QColor(0x0000FF));
        painter.drawText(QRect(0, 432, 89, 33), Qt::AlignTop, QStringLiteral("Jangora team"));
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::unique_ptr<QWidget> window = !qEnvironmentVariableIsEmpty("JANGORA_FLOOR_TEXT")
                                          ? std::make_unique<TextWindow>()
                                          : std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Jangora floor"));
    window->resize(607, 449);
    jangora::FrameTrace::watchIfAsked(*window);
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [] {});
    ticker.start(1);
    window->show();
    return QApplication::exec();
}
