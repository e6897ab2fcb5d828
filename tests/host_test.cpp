// The real host running the real game, on Qt's offscreen platform (and, from the Wayland
// end-to-end test, on Wayland): what a player cannot bring about on purpose, and what a window
// system asks of the window, made as its platform plugin makes it (QWindowSystemInterface).

#include "runtime/qt/form_window.h"
#include "runtime/qt/host.h"
#include "support.h"
#include "ui/form1.h"
#include "ui/pictures.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <typeinfo>

namespace jangora {
namespace {

using SynchronousRequest = QWindowSystemInterface::SynchronousDelivery;

// Presses and releases the left button at a point of the client area.
void clickAt(FormWindow& window, QPointF point) {
    testing::click(window, point + window.clientArea().topLeft());
}

// Runs the game; once its window is on screen `play` gets the game and its window, and every
// 20 ms `onBox` gets the box on screen, if any. Returns the exit status.
int runGame(std::function<void(Form1&, FormWindow&)> play,
            const std::function<void(QMessageBox&)>& onBox = {}) {
    char name[] = "host_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    return runHost(argc, argv, [&](Services& services, const auto& read) {
        auto form = std::make_unique<Form1>(services, loadPictures(read));
        auto* looker = new QTimer(qApp);
        QObject::connect(looker, &QTimer::timeout, [&play, &onBox, game = form.get()] {
            for (QWidget* widget : QApplication::allWidgets()) { // a box may be inside the window
                auto* window = dynamic_cast<FormWindow*>(widget);
                if (window && play && window->windowHandle()->isExposed()) {
                    // Once, and not inside this timer's own call: a box `play` opens would
                    // keep the timer from firing.
                    QTimer::singleShot(0, [window, game, once = std::exchange(play, nullptr)] {
                        once(*game, *window);
                    });
                } else if (auto* box = qobject_cast<QMessageBox*>(widget);
                           box && box->isVisible() && onBox) {
                    onBox(*box);
                }
            }
        });
        looker->start(20);
        return form;
    });
}

// The game's code and its window's description disagreeing (a control it names is not there,
// or not of its kind) is a start-up refusal, not an abort.
TEST(Host, AFaultWhileTheWindowIsMadeRefusesTheStartWithStatusTwo) {
    char name[] = "host_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    EXPECT_EQ(
        runHost(argc, argv,
                [](Services&, const auto&) -> std::unique_ptr<Form> { throw std::bad_cast(); }),
        2);
}

TEST(Host, ARunTimeErrorInAHandlerIsReportedAndEndsTheProgramWithStatusOne) {
    QStringList reported;
    const int status = runGame(
        [](Form1& game, FormWindow& window) {
            game.Money = std::numeric_limits<float>::infinity(); // no spin can be charged to it
            clickAt(window, testing::lever);
        },
        [&reported](QMessageBox& box) { // read and answered, as a player would
            reported << box.text();
            box.done(QMessageBox::Ok);
        });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(reported,
              QStringList{QString::fromStdString(RuntimeError(ErrorNumber::Overflow).what())});
}

// Qt drops a window system's close request for a window that a modal box blocks; the game's
// boxes do not block it, so the request ends the game, with the print question open.
TEST(Host, ACloseRequestWithTheQuestionOpenEndsTheGameWithStatusZero) {
    bool asked = false;
    const int status =
        runGame([](Form1&, FormWindow& window) { clickAt(window, testing::printButton); },
                [&asked](QMessageBox& box) {
                    if (!std::exchange(asked, true)) {
                        QWindowSystemInterface::handleCloseEvent<SynchronousRequest>(
                            box.parentWidget()->windowHandle());
                        QTimer::singleShot(2000, [] { qApp->exit(99); }); // dropped
                    }
                });
    EXPECT_TRUE(asked);
    EXPECT_EQ(status, 0);
}

// A maximize request the window system carries out anyway is undone: the window comes back
// to its size, not maximized.
TEST(Host, AMaximizeRequestIsUndone) {
    QSize client;
    bool maximized = true;
    const int status = runGame([&](Form1&, FormWindow& window) {
        window.windowHandle()->showMaximized();
        QTimer::singleShot(1000, &window, [&] {
            client = window.clientArea().size();
            maximized = window.isMaximized();
            QWindowSystemInterface::handleCloseEvent<SynchronousRequest>(window.windowHandle());
        });
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(maximized);
    EXPECT_EQ(client, QSize(607, 449));
}

} // namespace
} // namespace jangora
