#include "game/symbol_table.h"
#include "test_services.h"
#include "ui/form1_description.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace jangora {
namespace {

using testing::LoadedGame;

TEST(Startup, TheWindowHasItsSixtyFourControlsInCreationOrder) {
    LoadedGame game;
    const auto& controls = game.form.controls();
    ASSERT_EQ(controls.size(), 64U);
    std::string order;
    for (const auto& control : controls) {
        order += std::string(control->name());
        if (control->index() >= 0) {
            order += "(" + std::to_string(control->index()) + ")";
        }
        order += " ";
    }
    std::string expected = "Timer4 Timer3 Timer2 Timer1 Image4 picSlot(32) picSlot(31) "
                           "picInSlot(2) picInSlot(1) picInSlot(0) picSlot(30) picCherry pic7 "
                           "picCash PicBox picBanana picApple ";
    for (int stop = 29; stop >= 0; --stop) {
        expected += "picSlot(" + std::to_string(stop) + ") ";
    }
    expected += "Image3 Label4 Label3 Line11 Line10 Line9 Line8 Line7 Image2 Label2 Image1 "
                "Line6 Line5 Line4 Line3 Line2 Line1 ";
    EXPECT_EQ(order, expected);
    EXPECT_EQ(game.form.description().caption, "Jangora 2.4");
    EXPECT_EQ(game.form.description().clientWidth, 9105);
    EXPECT_EQ(game.form.description().clientHeight, 6735);
}

TEST(Startup, EveryFieldAfterTheLoadHandler) {
    LoadedGame game;
    const Form1& form = game.form;
    EXPECT_EQ(game.services.randomizeCalls, 1);
    EXPECT_EQ(form.Money, 70.0F);
    EXPECT_EQ(form.GameOn, 0);
    for (std::int16_t reel = 0; reel <= 3; ++reel) {
        EXPECT_EQ(form.ReelSymbol(reel), 0);
    }
    EXPECT_EQ(form.Turn, 0);
    EXPECT_EQ(form.StopNo, 0);
    EXPECT_EQ(form.ReelNo, 0);
    EXPECT_EQ(form.SymbolNo, 0);
    EXPECT_EQ(form.SymbolCode, 0);
    EXPECT_EQ(form.PrintAnswer, "");
    // The fill counters end one past the last stop of their range.
    EXPECT_EQ(form.AppleStop, 11);
    EXPECT_EQ(form.CherryStop, 19);
    EXPECT_EQ(form.BananaStop, 25);
    EXPECT_EQ(form.BoxStop, 30);
    EXPECT_THROW((void)form.ReelSymbol(4), RuntimeError);
}

TEST(Startup, TheVirtualReelHoldsTheTemplatePictures) {
    LoadedGame game;
    const Form1& form = game.form;
    for (std::int16_t stop = 0; stop <= 32; ++stop) {
        SCOPED_TRACE(stop);
        const Picture picture = form.picSlot(stop).picture();
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture, form.templateControl(symbolAtStop(stop)).picture());
        EXPECT_FALSE(form.picSlot(stop).visible());
    }
    EXPECT_EQ(form.picSlot(0).picture(), form.picApple.picture());
    EXPECT_EQ(form.picSlot(10).picture(), form.picApple.picture());
    EXPECT_EQ(form.picSlot(11).picture(), form.picCherry.picture());
    EXPECT_EQ(form.picSlot(29).picture(), form.PicBox.picture());
    EXPECT_EQ(form.picSlot(30).picture(), form.picCash.picture());
    EXPECT_EQ(form.picSlot(31).picture(), form.picCash.picture());
    EXPECT_EQ(form.picSlot(32).picture(), form.pic7.picture());
    // Six different pictures among the templates.
    std::set<const PictureData*> templates;
    for (const Symbol& symbol : symbols) {
        templates.insert(form.templateControl(symbol).picture());
    }
    EXPECT_EQ(templates.size(), 6U);
}

TEST(Startup, LeversReelWindowsLabelsAndTimersInTheirStartingState) {
    LoadedGame game;
    const Form1& form = game.form;
    EXPECT_EQ(form.Image3.left(), 6720);
    EXPECT_EQ(form.Image3.top(), 4200);
    EXPECT_EQ(form.Image3.width(), 1665);
    EXPECT_EQ(form.Image3.height(), 2340);
    EXPECT_FALSE(form.Image3.visible());
    EXPECT_TRUE(form.Image1.visible());
    EXPECT_TRUE(form.Image1.enabled());
    EXPECT_NE(form.Image1.picture(), form.Image3.picture());
    for (std::int16_t window = 0; window <= 2; ++window) {
        EXPECT_TRUE(form.picInSlot(window).visible());
        EXPECT_EQ(form.picInSlot(window).picture(), nullptr);
        EXPECT_TRUE(form.picInSlot(window).stretch());
    }
    EXPECT_EQ(form.picInSlot(2).width(), 1935);
    EXPECT_EQ(form.Label3.caption(), "No game on.");
    EXPECT_EQ(form.Label3.font().points, 24);
    EXPECT_EQ(form.Label3.foreColor(), 0x000080U);
    EXPECT_EQ(form.Label2.caption(), "");
    EXPECT_EQ(form.Label2.backColor(), 0xC0FFC0U);

    const struct {
        const Timer& timer;
        int interval;
        bool enabled;
    } timers[] = {{form.Timer1, 1, false},
                  {form.Timer2, 750, true},
                  {form.Timer3, 160, false},
                  {form.Timer4, 1, true}};
    for (const auto& t : timers) {
        SCOPED_TRACE(t.timer.name());
        EXPECT_EQ(t.timer.interval(), t.interval);
        EXPECT_EQ(t.timer.enabled(), t.enabled);
        EXPECT_EQ(game.form.scheduler().isScheduled(t.timer), t.enabled);
    }
}

} // namespace
} // namespace jangora
