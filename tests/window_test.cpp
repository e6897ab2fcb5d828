#include "runtime/qt/form_window.h"
#include "runtime/qt/host.h"
#include "test_services.h"
#include "ui/form1.h"
#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

namespace jangora {
namespace {

struct WindowTest : ::testing::Test {
    WindowTest() {
        services.form = &form;
        form.load();
    }

    // The client area as it is painted now, in logical pixels.
    QImage painted() { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    testing::TestServices services;
    Form1 form{services, loadPictures(readEmbeddedFile)};
    FormWindow window{form};
};

bool near(QRgb pixel, QRgb expected, int tolerance = 40) {
    return std::abs(qRed(pixel) - qRed(expected)) <= tolerance &&
           std::abs(qGreen(pixel) - qGreen(expected)) <= tolerance &&
           std::abs(qBlue(pixel) - qBlue(expected)) <= tolerance;
}

TEST_F(WindowTest, ClientSizeTitleAndFrame) {
    EXPECT_EQ(window.size(), QSize(607, 449));
    EXPECT_EQ(window.windowTitle(), "Jangora 2.4");
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());
}

TEST_F(WindowTest, PaintsTheControlsWhereTheDescriptionPutsThem) {
    const QImage image = painted();
    ASSERT_EQ(image.size(), QSize(607, 449));
    // Reel bars, 4 px thick, above and below each reel window.
    for (const QPoint bar : {QPoint(120, 128), QPoint(300, 128), QPoint(480, 128), QPoint(120, 200),
                             QPoint(300, 200), QPoint(480, 200)}) {
        EXPECT_TRUE(near(image.pixel(bar), 0x000000)) << bar.x() << "," << bar.y();
    }
    EXPECT_TRUE(near(image.pixel(120, 124), 0xFFFFFF));
    // The empty reel windows show the white background.
    EXPECT_TRUE(near(image.pixel(120, 165), 0xFFFFFF, 0));
    // The lever at rest: its red plate below the band.
    EXPECT_TRUE(near(image.pixel(503, 400), 0xFF4040));
    // The banner's bright green, and the bankroll box's light green inside its frame.
    EXPECT_TRUE(near(image.pixel(168, 372), 0x40FF40));
    EXPECT_TRUE(near(image.pixel(130, 415), 0xC0FFC0, 0));
    EXPECT_TRUE(near(image.pixel(240, 424), 0x000000, 0)); // the frame's bottom edge
    // Navy text in the status line's box, and nowhere else navy.
    int navy = 0;
    for (int y = 48; y < 89; ++y) {
        for (int x = 16; x < 593; ++x) {
            navy += near(image.pixel(x, y), 0x000080, 30);
        }
    }
    EXPECT_GT(navy, 200);
    EXPECT_TRUE(near(image.pixel(300, 20), 0xFFFFFF, 0));
    EXPECT_TRUE(near(image.pixel(20, 300), 0xFFFFFF, 0));
    // The print button's corner shows at the bottom right.
    EXPECT_TRUE(near(image.pixel(600, 446), 0x800000));
}

TEST_F(WindowTest, PaintsOnlyWhatIsShown) {
    form.Label3.setVisible(false);
    form.Image1.setVisible(false);
    const QImage image = painted();
    int navy = 0;
    for (int x = 16; x < 593; ++x) {
        navy += near(image.pixel(x, 68), 0x000080, 30);
    }
    EXPECT_EQ(navy, 0);
    EXPECT_TRUE(near(image.pixel(503, 400), 0xFFFFFF, 0));
}

TEST_F(WindowTest, ThePrintButtonTakesClicksOnItsVisibleCornerAndWhollyOnceEnlarged) {
    const auto click = [&](QPointF at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, window.mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &press);
        QApplication::sendEvent(&window, &release);
    };
    click({600, 446}); // inside the 23 x 17 pixels that show at the starting size
    EXPECT_EQ(services.boxes.size(), 1U);
    window.resize(700, 500);
    click({614, 461}); // the button's lower right, out of sight before
    EXPECT_EQ(services.boxes.size(), 2U);
    click({620, 470}); // just past it
    EXPECT_EQ(services.boxes.size(), 2U);
    EXPECT_EQ(form.PrintAnswer, "7");
}

TEST_F(WindowTest, EveryButtonTheWindowSystemReportsPullsTheLeverAndLetsItSpringBack) {
    const QPointF lever(503, 358);
    for (int bit = 0; bit < 27; ++bit) {
        const auto button = static_cast<Qt::MouseButton>(1 << bit);
        SCOPED_TRACE(bit);
        form.scheduler().advanceBy(2); // a charged press holds the lever back for a tick
        QMouseEvent press(QEvent::MouseButtonPress, lever, window.mapToGlobal(lever), button,
                          button, Qt::NoModifier);
        QApplication::sendEvent(&window, &press);
        EXPECT_TRUE(form.Image3.visible());
        QMouseEvent release(QEvent::MouseButtonRelease, lever, window.mapToGlobal(lever), button,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &release);
        EXPECT_TRUE(form.Image1.visible());
        EXPECT_FALSE(form.Image3.visible());
    }
}

} // namespace
} // namespace jangora
