// The host's pieces on Qt's offscreen platform: the embedded pictures, the currency text, the
// clock, the title bar, and the window as it is painted, played and read by a screen reader.

#include "runtime/qt/accessibility.h"
#include "runtime/qt/form_painter.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/frame_trace.h"
#include "runtime/qt/host.h"
#include "runtime/qt/print_system.h"
#include "runtime/qt/qt_services.h"
#include "support.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <map>
#include <optional>
#include <ostream>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

// Failures name the texts they compare.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace jangora {
namespace {

using testing::mouse;
using testing::pixelsNear;
using testing::runFor;

// The embedded pictures pass start-up's check of their file layout, and our reader decodes
// each as Qt's own does (and applies the icon's transparency mask, which Qt's ignores). A
// damaged or missing one stops the start with a message that says which and what.
TEST(Pictures, EachDecodesAsQtReadsItAndADamagedOneIsAClearStartupError) {
    for (const auto& [name, picture] : loadPictures(readEmbeddedFile)) {
        const QImage ours = decodePicture(*picture);
        const QImage byQt =
            QImage::fromData(picture->bytes.data(), static_cast<int>(picture->bytes.size()),
                             name.ends_with(".ico") ? "ICO" : "BMP")
                .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(ours.size(), QSize(picture->width, picture->height)) << name;
        for (int y = 0; y < ours.height(); ++y) {
            for (int x = 0; x < ours.width(); ++x) {
                const bool ring =
                    name.ends_with(".ico") &&
                    (x == 0 || y == 0 || x == ours.width() - 1 || y == ours.height() - 1);
                ASSERT_EQ(ours.pixel(x, y), ring ? 0 : byQt.pixel(x, y))
                    << name << " " << x << "," << y;
            }
        }
    }
    for (const auto& [damaged, at, message] :
         {std::tuple<std::string_view, int, const char*>{
              "cherry.bmp", 28,
              "The picture cherry.bmp is damaged: it is not one plane of 24 bits per pixel."},
          {"jangora.ico", -100, "The picture jangora.ico is damaged: it is not 894 bytes long."},
          {"banner.bmp", 0, "The picture banner.bmp is missing."}}) {
        std::vector<std::uint8_t> copy; // a byte changed, cut short at -at, or none at all
        try {
            (void)loadPictures(
                [&](std::string_view name) -> std::optional<std::span<const std::uint8_t>> {
                    auto bytes = readEmbeddedFile(name);
                    if (name != damaged) {
                        return bytes;
                    }
                    copy.assign(bytes->begin(), at < 0 ? bytes->begin() - at : bytes->end());
                    if (at > 0) {
                        copy.at(static_cast<std::size_t>(at)) = 8;
                    }
                    return at == 0 ? std::nullopt
                                   : std::optional(std::span<const std::uint8_t>(copy));
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
    QtServices services; // what the bankroll shows follows it
    for (const float dollars : {70.0F, 69.75F, 70.0F}) {
        EXPECT_EQ(services.formatCurrency(dollars), formatDollars(dollars, {}).toStdString());
    }
}

// The clock's arithmetic, on a clock the test sets: each alarm is set for the time left until
// its deadline, to the nanosecond, whenever it is set (never later: when it rings is the
// benchmarks' to measure), and behind a box it is not set. With a timerfd, and without one
// (none left to the process when the clock is made), an alarm that rings runs the timers due.
timespec setTime{1000, 0};
TEST(Clock, SetsEachAlarmForTheTimeLeftAndRingsWithATimerfdOrWithout) {
    for (const bool timerfd : {true, false}) {
        SCOPED_TRACE(timerfd ? "timerfd" : "QTimer");
        Scheduler scheduler;
        std::optional<FormClock> clock;
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        const rlimit noneLeft{static_cast<rlim_t>(dup(0)), files.rlim_max}; // the lowest free
        close(static_cast<int>(noneLeft.rlim_cur));
        if (!timerfd) {
            setrlimit(RLIMIT_NOFILE, &noneLeft);
        }
        clock.emplace(scheduler, [] { return setTime; });
        setrlimit(RLIMIT_NOFILE, &files);
        const auto later = [](long nanos) {
            setTime.tv_nsec += nanos;
            setTime.tv_sec += setTime.tv_nsec / 1'000'000'000;
            setTime.tv_nsec %= 1'000'000'000;
        };
        // The alarm no later than due, and at most a busy machine's while sooner.
        const auto setFor = [&clock](double milliseconds) {
            const double left = clock->alarm().value_or(std::chrono::nanoseconds(-1)).count() / 1e6;
            return left <= milliseconds + 0.01 && left > milliseconds - 50;
        };
        int ticks = 0;
        const Scheduler::Id timer = scheduler.add(160, [&ticks] {
            ++ticks;
            return TickRecord{everyPart, everyPart, everyPart};
        });
        scheduler.start(timer);
        clock->start();
        EXPECT_TRUE(setFor(160));
        later(100'250'000);
        clock->rearm();
        EXPECT_TRUE(setFor(timerfd ? 59.75 : 60)); // a QTimer counts whole milliseconds
        scheduler.setPaused(true);
        clock->rearm();
        EXPECT_FALSE(clock->alarm());
        scheduler.setPaused(false);
        later(60'000'000); // past the deadline: the alarm rings at once
        clock->rearm();
        for (int waited = 0; ticks == 0 && waited < 2000; waited += 10) {
            runFor(10);
        }
        EXPECT_EQ(ticks, 1);
        EXPECT_TRUE(setFor(timerfd ? 159.75 : 160)); // the next a full interval after it ran
    }
}

// The default printer the user chose is found as CUPS's own commands find it, before the print
// server is asked: LPDEST, then PRINTER (but "lp"), then the user's lpoptions, then the
// system's; a printer's instance (a set of options) names the printer.
TEST(Printing, TheUsersDefaultPrinterIsFoundAsCupsCommandsFindIt) {
    const QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral(".cups"));
    QDir(home.path()).mkpath(QStringLiteral("system"));
    const auto write = [&home](const char* file, const char* text) {
        QFile options(home.filePath(QString::fromLatin1(file)));
        ASSERT_TRUE(options.open(QIODevice::WriteOnly));
        options.write(text);
    };
    write("system/lpoptions", "Default Lobby\n");
    const QByteArray ownHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("CUPS_SERVERROOT", home.filePath(QStringLiteral("system")).toUtf8());
    for (const auto& [lpdest, printer, userOptions, found] :
         {std::tuple{"Hall/draft", "Laser", "Default Office", "Hall"},
          {"", "Laser", "Default Office", "Laser"},
          {"", "lp", "Dest Hall\nDefault Office/draft sides=two-sided\n", "Office"},
          {"", "", "", "Lobby"}}) {
        qputenv("LPDEST", lpdest);
        qputenv("PRINTER", printer);
        write(".cups/lpoptions", userOptions);
        std::optional<std::string> byDefault;
        listPrinters({}, [&byDefault](const PrinterList& list) { byDefault = list.byDefault; });
        EXPECT_EQ(byDefault, found) << lpdest << " " << printer << " " << userOptions;
    }
    qputenv("HOME", ownHome);
}

// Where the window draws its own title bar, its buttons do what their glyphs show: the one
// drawn as a cross closes the window, the one drawn as a bar minimizes it, each on a click of
// its own. The glyphs are found in the painted bar, rightmost first.
TEST(TitleBar, TheCrossClosesTheWindowAndTheBarMinimizesIt) {
    testing::TestServices services;
    Form1 form{services, loadPictures(readEmbeddedFile)};
    FormWindow window{form, true};
    window.show();
    runFor(50);
    EXPECT_EQ(window.clientArea(), QRect(QPoint(3, 30), QSize(607, 449)));
    const QImage bar = window.grab(QRect(0, 0, window.width(), 30)).toImage();
    const auto inked = [&bar](int x, int y) { return qGray(bar.pixel(x, y)) < 128; };
    std::vector<QRect> glyphs; // the ink of each run of inked columns, from the right
    bool inRun = false;
    for (int x = bar.width() - 1; x >= 0; --x) {
        QRect column;
        for (int y = 0; y < bar.height(); ++y) {
            column |= inked(x, y) ? QRect(x, y, 1, 1) : QRect();
        }
        if (!column.isNull() && !inRun) {
            glyphs.emplace_back();
        }
        inRun = !column.isNull();
        if (inRun) {
            glyphs.back() |= column;
        }
    }
    ASSERT_GE(glyphs.size(), 2U);
    const auto isCross = [](const QRect& glyph) { return glyph.height() > 5; };
    const QRect cross = isCross(glyphs[0]) ? glyphs[0] : glyphs[1];
    const QRect line = isCross(glyphs[0]) ? glyphs[1] : glyphs[0];
    ASSERT_TRUE(isCross(cross) && !isCross(line))
        << glyphs[0].height() << " " << glyphs[1].height();
    const auto click = [&window](QPoint pressed, QPoint released) {
        mouse(window, QEvent::MouseButtonPress, pressed);
        mouse(window, QEvent::MouseButtonRelease, released);
    };
    click(cross.center(), line.center());
    EXPECT_TRUE(window.isVisible() && !window.isMinimized());
    click(line.center(), line.center());
    EXPECT_TRUE(window.isVisible() && window.isMinimized());
    window.showNormal();
    click(cross.center(), cross.center());
    EXPECT_FALSE(window.isVisible());
}

// The benchmarks' trace only watches: the window it watches gets its larger icons after the
// first frame, and shows the same picture, as one untraced.
TEST(FrameTrace, ChangesNothingOfTheWindow) {
    std::vector<QList<QSize>> icons;
    std::vector<QImage> pictures;
    for (const bool traced : {false, true}) {
        testing::TestServices services;
        Form1 form{services, loadPictures(readEmbeddedFile)};
        form.load();
        FormWindow window{form};
        if (traced) {
            FrameTrace::watch(window);
        }
        window.show();
        runFor(100);
        icons.push_back(window.windowIcon().availableSizes());
        pictures.push_back(window.grab().toImage());
    }
    EXPECT_GT(icons[0].size(), 1);
    EXPECT_EQ(icons[1], icons[0]);
    EXPECT_EQ(pictures[1], pictures[0]);
}

struct WindowTest : ::testing::Test {
    WindowTest() {
        services.form = &form;
        form.load();
    }

    // How many pixels of a box of the client area, as painted now, are near a colour.
    int pixels(QRgb colour, QRect box, int tolerance = 40) {
        return pixelsNear(window.grab().toImage().convertToFormat(QImage::Format_RGB32), colour,
                          box, tolerance);
    }
    void click(QPointF at, Qt::MouseButton button = Qt::LeftButton) {
        testing::click(window, at, button);
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

// The labels' text in Arial's metrics, at the size of its points at 96 dots per inch, centred.
// "No game on." in Arial at 24 points (32 pixels) advances 11,726 of 2,048 units of the em a
// pixel: 183 pixels, 178 of them inked, from the top of the N to the foot of the g 29. "$70.00"
// in MS Sans Serif at 18 points (24 pixels, in a face with Arial's metrics) advances 73 pixels,
// 72 inked, 19 from the top of the $ to its foot.
TEST_F(WindowTest, TheLabelsTextIsDrawnInArialsMetricsAtItsSizeCentred) {
    form.scheduler().advanceBy(2); // the bankroll shown
    const auto ink = [this](const Label& label, QRgb colour) {
        // Inside the label's box, away from the bankroll's frame drawn over its edges.
        const QRect box = window.onScreen(label.bounds()).adjusted(4, 4, -4, -4);
        const QImage image = window.grab(box).toImage();
        QRect inked;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                const int distance =
                    std::abs(qRed(pixel) - qRed(colour)) + std::abs(qBlue(pixel) - qBlue(colour));
                inked |= distance < 160 ? QRect(x, y, 1, 1) : QRect();
            }
        }
        // Where the ink's middle is off the box's, across.
        return std::tuple(inked.width(), inked.height(),
                          inked.center().x() - (box.width() - 1) / 2);
    };
    const auto near = [](const std::tuple<int, int, int>& ink, int width, int height) {
        const auto [inkWidth, inkHeight, offCentre] = ink;
        return std::abs(inkWidth - width) <= 2 && std::abs(inkHeight - height) <= 2 &&
               std::abs(offCentre) <= 2;
    };
    const auto status = ink(form.Label3, 0x000080);
    EXPECT_TRUE(near(status, 178, 29)) << std::get<0>(status) << "x" << std::get<1>(status) << ", "
                                       << std::get<2>(status) << " off centre";
    const auto bankroll = ink(form.Label2, 0x000000);
    EXPECT_TRUE(near(bankroll, 72, 19)) << std::get<0>(bankroll) << "x" << std::get<1>(bankroll)
                                        << ", " << std::get<2>(bankroll) << " off centre";
}

TEST_F(WindowTest, ThePrintButtonTakesClicksOnItsVisibleCornerAndWhollyOnceEnlarged) {
    click({600, 446}); // inside the 23 x 17 pixels that show at the starting size
    window.resize(700, 500);
    click({614, 461}); // the button's lower right, out of sight before
    click({620, 470}); // just past it
    EXPECT_EQ(services.boxes.size(), 2U);
    EXPECT_EQ(form.GameOn, 0);
}

// A change repaints the boxes of what changed and nothing else: a charged press, the lever
// and the reel windows, then the bankroll; the bankroll's text follows the bankroll.
TEST_F(WindowTest, AChangeRepaintsWhatChangedAndNoMore) {
    struct Repaints : QObject {
        bool eventFilter(QObject* /*watched*/, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                region += dynamic_cast<QPaintEvent&>(*event).region();
            }
            return false;
        }
        QRegion region;
    } repaints;
    window.show();
    form.scheduler().advanceBy(2);
    runFor(50);
    const QImage bankroll = window.grab(window.onScreen(form.Label2.bounds())).toImage();
    window.installEventFilter(&repaints);
    services.script = {0.001F, 0.0F, 0.0F, 0.4F}; // a losing spin
    click(testing::lever);
    form.scheduler().advanceBy(2);
    runFor(50);
    QRegion expected;
    for (const Control* changed : std::initializer_list<const Control*>{
             &form.Label3, &form.Image1, &form.Label2, &form.picInSlot(0), &form.picInSlot(1),
             &form.picInSlot(2)}) {
        expected += window.onScreen(changed->paintBounds());
    }
    EXPECT_EQ(repaints.region, expected);
    EXPECT_NE(window.grab(window.onScreen(form.Label2.bounds())).toImage(), bankroll);
    form.Label2.setCaption("$70.00");
    EXPECT_EQ(window.grab(window.onScreen(form.Label2.bounds())).toImage(), bankroll);
}

// What a screen reader finds: the controls in reading order, each with its role, name and
// description, the lever's action playing a spin. It is told of each change once, when it is
// made, and of the status with the bankroll once the result is in; a hidden reel window names
// no symbol.
TEST_F(WindowTest, AScreenReaderFindsTheControlsAndIsToldOfEachChangeOnce) {
    static QStringList told;
    told.clear();
    const QAccessible::UpdateHandler before =
        QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
            if (event->type() == QAccessible::NameChanged ||
                (event->type() == QAccessible::ObjectShow &&
                 event->accessibleInterface()->role() == QAccessible::Notification)) {
                told << event->accessibleInterface()->text(QAccessible::Name);
            }
        });
    form.scheduler().advanceBy(2); // the bankroll shown
    QAccessibleInterface* frame = QAccessible::queryAccessibleInterface(&window);
    const std::map<QAccessible::Role, QString> roles{{QAccessible::StatusBar, "status bar"},
                                                     {QAccessible::StaticText, "label"},
                                                     {QAccessible::Button, "push button"},
                                                     {QAccessible::Graphic, "image"}};
    QStringList controls;
    for (int child = 0; child < frame->childCount(); ++child) {
        const QAccessibleInterface* control = frame->child(child);
        controls << roles.at(control->role()) + " " + control->text(QAccessible::Name) + " (" +
                        control->text(QAccessible::Description) + ")";
    }
    EXPECT_EQ(controls, (QStringList{"status bar No game on. ()", "label  (Reel 1)",
                                     "label  (Reel 2)", "label  (Reel 3)",
                                     "push button Lever (Pull to play a spin for 25 cents)",
                                     "image $$ CASH LEFT $$ ()", "label $70.00 (Bankroll)",
                                     "label Jangora team (Credits)",
                                     "push button Print the window (Asks, then prints the window "
                                     "as it looks now)"}));
    services.script = {0.001F, 0.0F, 0.0F, 0.4F};
    frame->child(4)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    runFor(50);
    form.scheduler().advanceBy(1000);
    runFor(50);
    form.scheduler().advanceBy(1000); // ticks that change nothing
    runFor(50);
    EXPECT_EQ(told, (QStringList{"$70.00", "Rolling...", "$69.75", "Rolling... $69.75", "apple",
                                 "apple", "cherry", "You did not win anything.",
                                 "You did not win anything. $69.75"}));
    QAccessibleInterface* reel = frame->child(1);
    EXPECT_EQ(reel->text(QAccessible::Name), QStringLiteral("apple"));
    click(testing::lever);
    EXPECT_EQ(reel->text(QAccessible::Name), QString());
    QAccessible::installUpdateHandler(before);
}

// Each button pulls the lever and plays a spin, and the lever springs back on its release.
TEST_F(WindowTest, EveryButtonTheWindowSystemReportsPullsTheLeverAndLetsItSpringBack) {
    for (int bit = 0; bit < 27; ++bit) {
        form.scheduler().advanceBy(1000); // the spin before is over
        const int drawn = services.numbersDrawn;
        const auto button = static_cast<Qt::MouseButton>(1 << bit);
        mouse(window, QEvent::MouseButtonPress, testing::lever, button);
        EXPECT_TRUE(!form.Image1.visible() && form.Image3.visible()) << bit;
        EXPECT_GT(services.numbersDrawn, drawn) << bit;
        mouse(window, QEvent::MouseButtonRelease, testing::lever, button);
        EXPECT_TRUE(form.Image1.visible() && !form.Image3.visible()) << bit;
    }
}

// What is drawn at one scale is drawn anew at another: moved to a screen of twice the scale, the
// window shows what a window shown there from the start shows, not its pictures of the first
// scale blown up.
TEST_F(WindowTest, WhatIsDrawnAtOneScaleIsDrawnAnewAtAnother) {
    form.scheduler().advanceBy(2); // the bankroll shown
    const auto paintedAt = [this](FormPainter& painter, qreal ratio) {
        QImage image(QSize(607, 449) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        QPainter onImage(&image);
        painter.paint(onImage, QRegion(0, 0, 607, 449));
        return image;
    };
    FormPainter moved(form);
    (void)paintedAt(moved, 1);
    FormPainter there(form);
    EXPECT_EQ(paintedAt(moved, 2), paintedAt(there, 2));
}

} // namespace
} // namespace jangora

// The window tests paint real widgets, off screen.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // As with a screen reader running: Qt tells the window's accessibility of its changes.
    jangora::installFormAccessibility();
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
