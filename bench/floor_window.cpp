// The floor the game is measured against: a bare Qt window of the game's size, kept awake by
// one 1 ms precise timer that does nothing. With JANGORA_TRACE set it reports its painted
// frames on stderr as the game does.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace {

class FloorWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        if (qEnvironmentVariableIsSet("JANGORA_TRACE")) {
            const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::system_clock::now().time_since_epoch());
            std::fprintf(stderr, "paint %lld\n", static_cast<long long>(now.count()));
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    FloorWindow window;
    window.setWindowTitle(QStringLiteral("Jangora floor"));
    window.resize(607, 449);
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [] {});
    ticker.start(1);
    window.show();
    return QApplication::exec();
}
