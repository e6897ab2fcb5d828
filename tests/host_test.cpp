// The real host running the real game on Qt's offscreen platform, for what a player cannot
// bring about on purpose.

#include "runtime/qt/host.h"
#include "ui/form1.h"
#include "ui/pictures.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <limits>

namespace jangora {
namespace {

QWidget* gameWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && !qobject_cast<QMessageBox*>(widget)) {
            return widget;
        }
    }
    return nullptr;
}

void clickAt(QWidget& window, QPointF point) {
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, point, window.mapToGlobal(point), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
    }
}

TEST(Host, ARunTimeErrorInAHandlerIsReportedAndEndsTheProgramWithStatusOne) {
    QStringList reported;
    char name[] = "host_tests";
    char* argv[] = {name, nullptr};
    int argc = 1;
    const int status = runHost(argc, argv, [&](Services& services, const auto& read) {
        auto form = std::make_unique<Form1>(services, loadPictures(read));
        Form1* game = form.get();
        // Once the window is up: a bankroll that no spin can be charged to, and a pull.
        QTimer::singleShot(200, qApp, [game] {
            game->Money = std::numeric_limits<float>::infinity();
            clickAt(*gameWindow(), {503, 358});
        });
        // Every box is read and answered, as a player would.
        auto* player = new QTimer(qApp);
        QObject::connect(player, &QTimer::timeout, [&reported] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                reported << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        player->start(20);
        return form;
    });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(reported,
              QStringList{QString::fromStdString(RuntimeError(ErrorNumber::Overflow).what())});
}

} // namespace
} // namespace jangora
