// The host's pieces on Qt's offscreen platform: the embedded pictures, the currency text, and
// the window, painted and clicked.

#include "runtime/qt/form_painter.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/host.h"
#include "runtime/qt/qt_services.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

namespace jangora {
namespace {

// The embedded pictures pass start-up's check of their file layout, and our reader decodes
// each as Qt's own does (and applies the icon's transparency mask, which Qt's ignores).
TEST(Pictures, EveryEmbeddedPictureDecodesAsQtReadsIt) {
    for (const auto& [name, picture] : loadPictures(readEmbeddedFile)) {
        SCOPED_TRACE(name);
        const QImage ours = decodePicture(*picture);
        const QImage byQt =
            QImage::fromData(picture->bytes.data(), static_cast<int>(picture->bytes.size()),
                             name.ends_with(".ico") ? "ICO" : "BMP")
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(ours.size(), QSize(picture->width, picture->height));
        for (int y = 0; y < ours.height(); ++y) {
            for (int x = 0; x < ours.width(); ++x) {
                const bool ring =
                    name.ends_with(".ico") &&
                    (x == 0 || y == 0 || x == ours.width() - 1 || y == ours.height() - 1);
                ASSERT_EQ(ours.pixel(x, y), ring ? 0 : byQt.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

// A damaged or missing picture stops the start with a message that says which and what.
TEST(Pictures, AMissingOrDamagedPictureIsAClearStartupError) {
    using Damage = void (*)(std::optional<std::vector<std::uint8_t>>&);
    for (const auto& [damaged, damage, message] :
         {std::tuple<std::string_view, Damage, const char*>{
              "cherry.bmp", [](auto& bytes) { bytes->at(28) = 8; },
              "The picture cherry.bmp is damaged: it is not one plane of 24 bits per pixel."},
          {"jangora.ico", [](auto& bytes) { bytes->resize(100); },
           "The picture jangora.ico is damaged: it is not 894 bytes long."},
          {"banner.bmp", [](auto& bytes) { bytes.reset(); },
           "The picture banner.bmp is missing."}}) {
        std::optional<std::vector<std::uint8_t>> copy;
        try {
            (void)loadPictures([&](std::string_view name) {
                auto bytes = readEmbeddedFile(name);
                if (name != damaged) {
                    return bytes;
                }
                copy.emplace(bytes->begin(), bytes->end());
                damage(copy);
                return copy ? std::optional(std::span<const std::uint8_t>(*copy)) : std::nullopt;
            });
            ADD_FAILURE() << damaged << " was taken";
        } catch (const StartupError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
}

// The bankroll is dollars with cents in every locale; only the layout is the locale's: right
// to left, with the locale's own digits, and the US layout for C and a locale nobody has.
TEST(Currency, DollarsWithCentsLaidOutByTheLocale) {
    for (const auto& [locale, amount, text] :
         {std::tuple{"en_US", 1234.5F, "$1,234.50"},
          {"de_DE", 1234.5F, "1.234,50\u00A0$"},
          {"fr_FR", 1234.5F, "1\u202F234,50\u00A0$"},
          {"ja_JP", 69.75F, "$69.75"},
          {"C", 0.0F, "$0.00"},
          {"xx_XX", 69.75F, "$69.75"},
          {"he_IL", 69.75F, "69.75\u00A0$"},
          {"ar_EG", 69.75F, "\u0666\u0669\u066B\u0667\u0665\u00A0$"},
          {"fa_IR", 69.75F, "\u200E$\u00A0\u06F6\u06F9\u066B\u06F7\u06F5"}}) {
        EXPECT_EQ(formatDollars(amount, QLocale(QString::fromLatin1(locale))).toStdString(), text)
            << locale;
    }
}

struct WindowTest : ::testing::Test {
    WindowTest() {
        services.form = &form;
        form.load();
    }

    // How many pixels of a box of the client area, as painted now, are near a colour.
    int pixels(QRgb colour, QRect box, int tolerance = 40) {
        const QImage image = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        int count = 0;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            for (int x = box.left(); x <= box.right(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                count += std::abs(qRed(pixel) - qRed(colour)) <= tolerance &&
                         std::abs(qGreen(pixel) - qGreen(colour)) <= tolerance &&
                         std::abs(qBlue(pixel) - qBlue(colour)) <= tolerance;
            }
        }
        return count;
    }
    // A button going down, then up, as Qt reports them, at a point of the window.
    void click(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        for (const bool down : {true, false}) {
            QMouseEvent event(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at,
                              window.mapToGlobal(at), button, down ? button : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(&window, &event);
        }
    }

    testing::TestServices services;
    Form1 form{services, loadPictures(readEmbeddedFile)};
    FormWindow window{form};
};

// The controls where the description puts them, the lines on top; hidden controls are not
// painted; the focus is marked only once a key has been used.
TEST_F(WindowTest, PaintsWhatIsShownWhereTheDescriptionPutsIt) {
    EXPECT_EQ(window.grab().size(), QSize(607, 449));
    EXPECT_EQ(pixels(0x000000, {56, 127, 137, 1}) + pixels(0x000000, {432, 199, 129, 1}), 266);
    EXPECT_EQ(pixels(0xFFFFFF, {56, 136, 137, 57}, 0), 137 * 57); // an empty reel window
    EXPECT_GT(pixels(0xFF4040, {450, 390, 100, 30}), 2000);       // the lever's plate
    EXPECT_GT(pixels(0x40FF40, {165, 355, 150, 10}), 1000);       // the banner
    EXPECT_EQ(pixels(0x000000, {122, 424, 237, 1}, 0), 237);      // the bankroll's frame
    EXPECT_GT(pixels(0x000080, {16, 48, 577, 41}, 30), 200);      // the status line's text
    EXPECT_GT(pixels(0x800000, {584, 432, 23, 17}), 200);         // the print button's corner
    EXPECT_EQ(pixels(0x000000, {448, 280, 1, 156}, 60), 0);       // no focus mark
    form.input().keyDown(InputRouter::Key::Tab);
    form.input().keyDown(InputRouter::Key::Tab);
    form.Label3.setVisible(false);
    form.Image1.setVisible(false);
    EXPECT_EQ(pixels(0x000080, {16, 48, 577, 41}, 30), 0);
    EXPECT_EQ(pixels(0xFF4040, {450, 390, 100, 30}), 0);
    EXPECT_GT(pixels(0x000000, {448, 280, 1, 156}, 60), 40); // a dotted frame
}

TEST_F(WindowTest, ThePrintButtonTakesClicksOnItsVisibleCornerAndWhollyOnceEnlarged) {
    click({600, 446}); // inside the 23 x 17 pixels that show at the starting size
    window.resize(700, 500);
    click({614, 461}); // the button's lower right, out of sight before
    click({620, 470}); // just past it
    EXPECT_EQ(services.boxes.size(), 2U);
    EXPECT_EQ(form.GameOn, 0);
}

TEST_F(WindowTest, EveryButtonTheWindowSystemReportsPullsTheLeverAndLetsItSpringBack) {
    for (int bit = 0; bit < 27; ++bit) {
        form.scheduler().advanceBy(2); // a charged press holds the lever back for a tick
        click({503, 358}, static_cast<Qt::MouseButton>(1 << bit));
        EXPECT_TRUE(form.Image1.visible() && !form.Image3.visible()) << bit;
    }
}

} // namespace
} // namespace jangora

// The window tests paint real widgets, off screen.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
