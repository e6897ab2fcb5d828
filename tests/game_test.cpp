#include "game/symbol_table.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace jangora {
namespace {

using testing::LoadedGame;

// A first number that makes RollCount `passes`, then three stops a pass.
std::deque<float> spinOf(int passes, std::initializer_list<float> stops) {
    std::deque<float> script{static_cast<float>(passes) / 1000.0F};
    script.insert(script.end(), stops);
    return script;
}

constexpr float apple = 0.0F;  // stop 1
constexpr float cherry = 0.4F; // stop 13
constexpr float seven = 0.99F; // stop 32
constexpr float cash = 0.92F;  // stop 30

struct GameTest : ::testing::Test {
    LoadedGame game;
    Form1& form = game.form;
};

TEST_F(GameTest, ThePassCountRoundsHalvesToEvenAndEachPassDrawsThreeStops) {
    for (const auto& [r, passes] : {std::pair{1.0F / 16, 62}, std::pair{3.0F / 16, 188}}) {
        LoadedGame fresh;
        fresh.services.script = {r};
        const int before = fresh.services.numbersDrawn;
        fresh.pull();
        EXPECT_EQ(fresh.services.numbersDrawn - before, 1 + 3 * passes) << r;
        EXPECT_EQ(fresh.form.Turn, passes + 1);
        EXPECT_EQ(fresh.form.ReelNo, 4);
    }
}

TEST_F(GameTest, StopsCoverOneToThirtyTwoAndOnlyTheLastPassCounts) {
    const float belowOne = std::nextafter(1.0F, 0.0F);
    game.services.script = spinOf(2, {seven, seven, seven, 0.0F, belowOne, 0.5F});
    game.pull();
    EXPECT_EQ(form.ReelSymbol(1), 1); // stop 1
    EXPECT_EQ(form.ReelSymbol(2), 6); // stop 32
    EXPECT_EQ(form.ReelSymbol(3), 2); // stop 17
    EXPECT_EQ(form.StopNo, 17);
    EXPECT_EQ(form.SymbolNo, 2);
    EXPECT_EQ(form.SymbolCode, 11);
    EXPECT_EQ(form.picInSlot(0).picture(), form.picSlot(1).picture());
    EXPECT_EQ(form.picInSlot(1).picture(), form.picSlot(32).picture());
    EXPECT_EQ(form.picInSlot(2).picture(), form.picSlot(17).picture());
}

TEST_F(GameTest, AChargedPressLeavesTheMachineSpinning) {
    game.services.script = spinOf(1, {apple, cherry, seven});
    form.mouseDown({RightButton, 1, 6800, 4300}); // any button, any shift state
    EXPECT_EQ(form.Money, 69.75F);
    EXPECT_EQ(form.GameOn, 1);
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_TRUE(form.Timer3.enabled());
    EXPECT_FALSE(form.Timer2.enabled());
    EXPECT_TRUE(form.Label3.visible());
    EXPECT_EQ(form.Label3.caption(), "Rolling...");
    EXPECT_FALSE(form.Image1.visible());
    EXPECT_FALSE(form.Image1.enabled());
    EXPECT_TRUE(form.Image3.visible());
    for (std::int16_t window = 0; window <= 2; ++window) {
        EXPECT_FALSE(form.picInSlot(window).visible());
    }
    form.mouseUp({RightButton, 0, 0, 0}); // released anywhere
    EXPECT_TRUE(form.Image1.visible());
    EXPECT_FALSE(form.Image3.visible());
}

TEST_F(GameTest, ASpinWhoseRollCountRoundsToZeroStillDrawsOnePass) {
    // Three sevens first, so that drawing nothing would pay the jackpot again.
    game.services.script = spinOf(1, {seven, seven, seven});
    game.pull();
    game.form.scheduler().advanceBy(500);
    ASSERT_EQ(form.Money, 70 - 0.25F + 1000);

    game.services.script = {0.0004F, apple, cherry, apple};
    const int before = game.services.numbersDrawn;
    game.pull();
    EXPECT_EQ(game.services.numbersDrawn - before, 4);
    EXPECT_EQ(form.ReelSymbol(2), 2);
    EXPECT_EQ(form.picInSlot(1).picture(), form.picCherry.picture());
    game.form.scheduler().advanceBy(500);
    EXPECT_EQ(form.Label3.caption(), "You did not win anything.");
    EXPECT_EQ(form.Money, 70 - 0.5F + 1000);
}

TEST_F(GameTest, TheReelWindowsAppearEveryIntervalThenTheResultFollows) {
    game.services.script = spinOf(1, {cash, cash, cash});
    game.pull();
    const auto shown = [&] {
        std::string s;
        for (std::int16_t window = 0; window <= 2; ++window) {
            s += form.picInSlot(window).visible() ? 'S' : 'h';
        }
        return s;
    };
    form.scheduler().advanceBy(1);
    EXPECT_TRUE(form.Image1.enabled()); // the first tick of the evaluation timer frees the lever
    form.scheduler().advanceBy(158);
    EXPECT_EQ(shown(), "hhh");
    form.scheduler().advanceBy(1);
    EXPECT_EQ(shown(), "Shh");
    form.scheduler().advanceBy(160);
    EXPECT_EQ(shown(), "SSh");
    form.scheduler().advanceBy(159);
    EXPECT_EQ(shown(), "SSh");
    EXPECT_EQ(form.Label3.caption(), "Rolling...");
    form.scheduler().advanceBy(1); // 480 ms: the last window, and in the same tick the result
    EXPECT_EQ(shown(), "SSS");
    EXPECT_FALSE(form.Timer3.enabled());
    EXPECT_EQ(form.Label3.caption(), "3 $ SIGNS!! YOU WIN $100!!!");
    EXPECT_EQ(form.GameOn, 0);
    EXPECT_FALSE(form.Timer1.enabled());
}

TEST_F(GameTest, APressDuringTheRevealRestartsItWithoutChargeOrDraw) {
    game.services.script = spinOf(1, {apple, cherry, seven});
    game.pull();
    const Picture middle = form.picInSlot(1).picture();
    form.scheduler().advanceBy(330); // two windows shown
    const int drawn = game.services.numbersDrawn;
    game.pull();
    EXPECT_EQ(form.Money, 69.75F);
    EXPECT_EQ(game.services.numbersDrawn, drawn);
    EXPECT_EQ(form.GameOn, 1);
    EXPECT_FALSE(form.picInSlot(0).visible());
    EXPECT_FALSE(form.picInSlot(1).visible());
    form.scheduler().advanceBy(150); // the reveal's next tick, at 480 ms
    EXPECT_TRUE(form.picInSlot(0).visible());
    EXPECT_FALSE(form.picInSlot(1).visible());
    EXPECT_EQ(form.Label3.caption(), "Rolling...");
    form.scheduler().advanceBy(320);
    EXPECT_EQ(form.picInSlot(1).picture(), middle);
    EXPECT_EQ(form.Label3.caption(), "You did not win anything.");
}

TEST_F(GameTest, EachRevealTickShowsAtMostOneWindowFromTheLeft) {
    const struct {
        const char* before;
        const char* after;
        bool stillEnabled;
    } rows[] = {{"hhh", "Shh", true},  {"Shh", "SSh", true},  {"ShS", "SSS", false},
                {"SSh", "SSS", false}, {"SSS", "SSS", false}, {"hSh", "hSh", true},
                {"hhS", "hhS", true},  {"hSS", "hSS", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.before);
        form.Timer3.setEnabled(true);
        for (std::int16_t window = 0; window <= 2; ++window) {
            form.picInSlot(window).setVisible(row.before[window] == 'S');
        }
        form.Form1_Timer3_Timer();
        for (std::int16_t window = 0; window <= 2; ++window) {
            EXPECT_EQ(form.picInSlot(window).visible(), row.after[window] == 'S') << window;
        }
        EXPECT_EQ(form.Timer3.enabled(), row.stillEnabled);
    }
}

TEST_F(GameTest, ALineOfThreePaysItsPrizeAndAnythingElseIsALoss) {
    const auto evaluate = [&](std::int16_t a, std::int16_t b, std::int16_t c, std::int32_t code) {
        form.ReelSymbol(1) = a;
        form.ReelSymbol(2) = b;
        form.ReelSymbol(3) = c;
        form.SymbolCode = code;
        form.Money = 70;
        form.GameOn = 1;
        form.Timer1.setEnabled(true);
        form.Image1.setEnabled(false);
        form.Form1_Timer1_Timer();
        EXPECT_EQ(form.GameOn, 0);
        EXPECT_TRUE(form.Image1.enabled());
        EXPECT_FALSE(form.Timer1.enabled());
    };
    for (const Symbol& symbol : symbols) {
        SCOPED_TRACE(symbol.name);
        evaluate(symbol.number, symbol.number, symbol.number, symbol.payCode);
        EXPECT_EQ(form.Label3.caption(), symbol.message);
        EXPECT_EQ(form.Money, 70 + symbol.prize);
    }
    for (const auto& [a, b, c, code] : {std::array{1, 1, 2, 11}, std::array{2, 1, 1, 1},
                                        std::array{0, 0, 0, 0}, std::array{6, 6, 6, 111111}}) {
        evaluate(static_cast<std::int16_t>(a), static_cast<std::int16_t>(b),
                 static_cast<std::int16_t>(c), code);
        EXPECT_EQ(form.Label3.caption(), "You did not win anything.");
        EXPECT_EQ(form.Money, 70.0F);
    }

    // While the reveal runs a tick only frees the lever.
    form.Timer3.setEnabled(true);
    form.Timer1.setEnabled(true);
    form.GameOn = 1;
    form.Label3.setCaption("Rolling...");
    form.Image1.setEnabled(false);
    form.Form1_Timer1_Timer();
    EXPECT_TRUE(form.Image1.enabled());
    EXPECT_EQ(form.GameOn, 1);
    EXPECT_TRUE(form.Timer1.enabled());
    EXPECT_EQ(form.Label3.caption(), "Rolling...");
}

TEST_F(GameTest, TheBankrollShowsAtTheFirstTickAndAfterEveryChangeAndIsRepaintedOnlyThen) {
    std::vector<int> repaintedTops;
    form.setChangeListener([&](const Control&, const Rect& area) {
        if (area.width > 0) {
            repaintedTops.push_back(area.top);
        }
    });
    EXPECT_EQ(form.Label2.caption(), "");
    form.scheduler().advanceBy(1);
    EXPECT_EQ(form.Label2.caption(), "$70.00");
    EXPECT_EQ(repaintedTops, std::vector<int>{form.Label2.paintBounds().top});
    // 700 more ticks of the same text, all before the status line first blinks: nothing to paint.
    form.scheduler().advanceBy(700);
    EXPECT_EQ(repaintedTops.size(), 1U);
    game.services.script = spinOf(1, {seven, seven, seven});
    game.pull();
    form.scheduler().advanceBy(1);
    EXPECT_EQ(form.Label2.caption(), "$69.75");
    form.scheduler().advanceBy(480);
    EXPECT_EQ(form.Label2.caption(), "$1069.75");
}

TEST_F(GameTest, SpendingTheLastQuarterBringsTheGuardOnceThenTheEnd) {
    // 279 losing spins leave 0.25 dollars.
    for (int spin = 0; spin < 279; ++spin) {
        game.services.script = spinOf(1, {apple, cherry, seven});
        game.pull();
        form.scheduler().advanceBy(500);
    }
    ASSERT_EQ(form.Money, 0.25F);
    ASSERT_TRUE(game.services.boxes.empty());

    game.services.script = spinOf(1, {seven, seven, seven}); // a win that comes too late
    game.pull();
    EXPECT_EQ(form.Money, 0.0F);
    form.scheduler().advanceBy(1000);
    ASSERT_EQ(game.services.boxes.size(), 1U);
    const auto& box = game.services.boxes.front();
    EXPECT_EQ(box.prompt, "Guard: Hey get out of here if you don't have any money!!");
    EXPECT_EQ(box.style, MsgBoxStyle::OkOnly);
    EXPECT_EQ(box.title, ""); // the default title
    EXPECT_TRUE(box.timersPaused);
    EXPECT_EQ(form.Label2.caption(), "$0.00");
    EXPECT_EQ(game.services.ends, std::vector<int>{0});
    EXPECT_TRUE(form.ended());
    // The reveal of that spin never finished, and nothing ran after the end.
    EXPECT_FALSE(form.picInSlot(0).visible());
    EXPECT_EQ(form.Label3.caption(), "Rolling...");
    game.pull();
    EXPECT_EQ(form.Money, 0.0F);
    EXPECT_EQ(game.services.errors.size(), 0U);
}

} // namespace
} // namespace jangora
