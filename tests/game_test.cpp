#include "game/symbol_table.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <random>
#include <string>

namespace jangora {
namespace {

using Key = InputRouter::Key;

// A first number that makes RollCount `passes`, then three stops a pass.
std::deque<float> spinOf(int passes, std::initializer_list<float> stops) {
    std::deque<float> script{static_cast<float>(passes) / 1000.0F};
    script.insert(script.end(), stops);
    return script;
}

constexpr float apple = 0.0F;  // stop 1
constexpr float cherry = 0.4F; // stop 13
constexpr float banana = 0.6F; // stop 20
constexpr float box = 0.8F;    // stop 26
constexpr float seven = 0.99F; // stop 32
constexpr float cash = 0.92F;  // stop 30

struct GameTest : ::testing::Test {
    // The machine in one line: bankroll, state, the timers running, the status line, the
    // lever, and the reel windows shown (S) or hidden (h).
    std::string seen() {
        char money[32];
        std::snprintf(money, sizeof money, "%.2f ", static_cast<double>(form.Money));
        std::string line = money + std::string(form.GameOn ? "spinning |" : "ready |");
        for (const Timer* timer : {&form.Timer1, &form.Timer2, &form.Timer3}) {
            line += timer->enabled() ? " " + std::string(timer->name()) : "";
        }
        line += " | " + std::string(form.Label3.visible() ? "" : "hidden ") + form.Label3.caption();
        line += form.Image3.visible() ? " | pulled" : " | up";
        line += form.Image1.enabled() ? " | " : " disabled | ";
        for (std::int16_t window = 0; window <= 2; ++window) {
            line += form.picInSlot(window).visible() ? 'S' : 'h';
        }
        return line;
    }

    testing::LoadedGame game;
    Form1& form = game.form;
    testing::TestServices& services = game.services;
};

TEST_F(GameTest, StartUpFillsTheVirtualReelFromTheTemplatesAndPutsThePulledLeverOnTheLever) {
    EXPECT_EQ(seen(), "70.00 ready | Timer2 | No game on. | up | SSS");
    // 11 apples, 8 cherries, 6 bananas, 5 boxes, 2 dollar signs and a seven.
    const std::string reel = "AAAAAAAAAAACCCCCCCCBBBBBBXXXXX$$7";
    const std::map<char, const Image*> templates{{'A', &form.picApple},  {'C', &form.picCherry},
                                                 {'B', &form.picBanana}, {'X', &form.PicBox},
                                                 {'$', &form.picCash},   {'7', &form.pic7}};
    for (std::int16_t stop = 0; stop <= 32; ++stop) {
        const char symbol = reel[static_cast<std::size_t>(stop)];
        EXPECT_EQ(form.picSlot(stop).picture(), templates.at(symbol)->picture()) << stop;
    }
    EXPECT_EQ(form.Image3.bounds().left, form.Image1.bounds().left);
    EXPECT_EQ(form.Image3.bounds().top, form.Image1.bounds().top);
}

// RollCount rounds halves to even, and is at least 1: a spin whose count rounds to 0 still draws
// a pass (drawing none would pay the last spin's jackpot again). Only the last pass counts.
TEST_F(GameTest, ThePassCountRoundsHalvesToEvenIsAtLeastOneAndOnlyTheLastPassCounts) {
    for (const auto& [r, passes] : {std::pair{1.0F / 16, 62}, {3.0F / 16, 188}, {0.0004F, 1}}) {
        testing::LoadedGame fresh;
        fresh.services.script = {r};
        fresh.pull();
        EXPECT_EQ(fresh.services.numbersDrawn, 1 + 3 * passes) << r;
    }
    const float belowOne = std::nextafter(1.0F, 0.0F);
    services.script = spinOf(2, {seven, seven, seven, 0.0F, belowOne, 0.5F});
    game.pull();
    EXPECT_EQ(form.ReelSymbol(1), 1); // stop 1
    EXPECT_EQ(form.ReelSymbol(2), 6); // stop 32
    EXPECT_EQ(form.ReelSymbol(3), 2); // stop 17
    EXPECT_EQ(form.SymbolCode, 11);
    EXPECT_EQ(form.picInSlot(1).picture(), form.picSlot(32).picture());
    EXPECT_EQ(form.picInSlot(2).picture(), form.picSlot(17).picture());
}

// The reel windows appear a reveal interval apart, the result with the third; a press during
// the reveal starts it again, charging and drawing nothing; after a loss nothing is due, and
// the game sleeps until the next press.
TEST_F(GameTest, TheRevealOfTheReelWindowsThenTheResult) {
    services.script = spinOf(1, {cash, cash, cash});
    game.pull();
    form.scheduler().advanceBy(1); // the evaluation timer's first tick frees the lever
    EXPECT_EQ(seen(), "69.75 spinning | Timer1 Timer3 | Rolling... | up | hhh");
    for (const char* shown : {"hhh", "Shh", "SSh"}) {
        form.scheduler().advanceBy(158);
        EXPECT_EQ(seen().substr(seen().size() - 3), shown);
        form.scheduler().advanceBy(2);
    }
    // 480 ms: the last window, and in the same tick the result.
    EXPECT_EQ(seen(), "169.75 ready | | 3 $ SIGNS!! YOU WIN $100!!! | up | SSS");
    services.script = spinOf(1, {apple, cherry, seven});
    game.pull();
    form.scheduler().advanceBy(330); // two windows shown
    const int drawn = services.numbersDrawn;
    game.pull();
    EXPECT_EQ(services.numbersDrawn, drawn);
    EXPECT_EQ(seen(), "169.50 spinning | Timer1 Timer3 | Rolling... | up | hhh");
    form.scheduler().advanceBy(150); // the reveal's next tick
    EXPECT_EQ(seen(), "169.50 spinning | Timer1 Timer3 | Rolling... | up | Shh");
    form.scheduler().advanceBy(320);
    EXPECT_EQ(seen(), "169.50 ready | | You did not win anything. | up | SSS");
    EXPECT_EQ(form.scheduler().nextDeadline(), std::nullopt);
}

// Each line of three shows its own message and pays its prize; anything else is a loss.
TEST_F(GameTest, ALineOfThreePaysItsPrizeAndAnythingElseIsALoss) {
    const auto spin = [&](float a, float b, float c) {
        services.script = spinOf(1, {a, b, c});
        game.pull();
        form.scheduler().advanceBy(1000);
        return seen();
    };
    EXPECT_EQ(spin(apple, apple, apple), "79.75 ready | | 3 apples! You win $10! | up | SSS");
    EXPECT_EQ(spin(cherry, cherry, cherry), "94.50 ready | | 3 Cherries! You win $15!! | up | SSS");
    EXPECT_EQ(spin(banana, banana, banana), "124.25 ready | | 3 Bananas! You win $30!! | up | SSS");
    EXPECT_EQ(spin(box, box, box), "174.00 ready | | 3 BOXES!! YOU WIN $50!! | up | SSS");
    EXPECT_EQ(spin(cash, cash, cash), "273.75 ready | | 3 $ SIGNS!! YOU WIN $100!!! | up | SSS");
    EXPECT_EQ(spin(seven, seven, seven),
              "1273.50 ready | | JACKPOT!!! YOU WIN 1000$!!! | up | SSS");
    EXPECT_EQ(spin(apple, apple, cherry), "1273.25 ready | | You did not win anything. | up | SSS");
    EXPECT_EQ(spin(cherry, apple, apple), "1273.00 ready | | You did not win anything. | up | SSS");
}

// From $70 to the end with the space bar alone, losing every spin. The last quarter's spin
// would win, too late: the guard shows once, with the default title, and the game ends.
TEST_F(GameTest, TheKeyboardAlonePlaysAWholeGameAndTheLastQuarterBringsTheGuard) {
    int spins = 0;
    for (; services.ends.empty() && spins < 1000; ++spins) {
        services.script = spinOf(1, {seven, seven, form.Money > 0.25F ? apple : seven});
        form.input().keyDown(Key::Space);
        form.input().keyUp(Key::Space);
        form.scheduler().advanceBy(1000);
    }
    EXPECT_EQ(spins, 280);
    EXPECT_EQ(services.boxes,
              std::vector<std::string>{" | Guard: Hey get out of here if you don't have any "
                                       "money!! | OK | timers paused"});
    EXPECT_EQ(form.Label2.caption(), "$0.00");
    EXPECT_EQ(services.ends, std::vector<int>{0});
    game.pull(); // nothing runs after the end: that spin's reveal never finished
    EXPECT_EQ(seen(), "0.00 spinning | Timer1 Timer3 | Rolling... | up disabled | hhh");
    EXPECT_TRUE(services.errors.empty());
}

TEST_F(GameTest, TheStatusLineBlinksUntilTheFirstSpinAndNeverAgain) {
    std::string blinks;
    for (const int ms : {749, 1, 750, 750}) { // the first tick, at 750 ms, hides it
        form.scheduler().advanceBy(ms);
        blinks += form.Label3.visible() ? 'S' : 'h';
    }
    EXPECT_EQ(blinks, "ShSh");
    game.pull(); // the first spin, while the line is hidden
    for (int spin = 0; spin < 3; ++spin) {
        EXPECT_TRUE(form.Label3.visible());
        form.scheduler().advanceBy(1000);
        game.pull();
    }
}

TEST_F(GameTest, ThePrintButtonAsksAndPrintsTheWindowOnYesAndNotWhenTheWindowIsClosed) {
    services.answers = {MsgBoxResult::Yes};
    game.clickPrint();
    EXPECT_EQ(services.boxes.front(), "Jangora 2.4 | This button is to print the current screen. "
                                      "Are you sure you want to do that? | Yes No | timers paused");
    EXPECT_EQ(form.PrintAnswer + " " + std::to_string(services.prints), "6 1");
    game.clickPrint(); // No
    EXPECT_EQ(form.PrintAnswer + " " + std::to_string(services.prints), "7 1");
    services.closeWindowInBox = true;
    services.answers = {MsgBoxResult::Yes}; // the answer a closed box may still give
    form.PrintAnswer.clear();
    game.clickPrint();
    EXPECT_EQ(services.prints, 1);
    EXPECT_EQ(form.PrintAnswer, ""); // the handler went no further than its box
    EXPECT_EQ(services.ends, std::vector<int>{0});
    EXPECT_FALSE(form.scheduler().nextDeadline()); // and no timer ticks again
}

// Space or Return is the left button at the focused control's centre while the key is down;
// another key meanwhile does nothing, the same key again first delivers the release it lost, as
// does a window that loses the keyboard, never as a click; Tab and Shift+Tab move the focus.
TEST_F(GameTest, KeysPressTheFocusedControlThroughTheMouseRouting) {
    ASSERT_EQ(form.input().focused(), &form.Image1);
    EXPECT_FALSE(form.input().showsFocus());
    form.input().keyDown(Key::Space);
    EXPECT_TRUE(form.input().showsFocus());
    form.input().keyDown(Key::Return);
    form.input().keyUp(Key::Return);
    EXPECT_EQ(seen(), "69.75 spinning | Timer1 Timer3 | Rolling... | pulled disabled | hhh");
    form.input().keyDown(Key::Space); // the charged press disabled the lever until the next tick
    EXPECT_EQ(seen(), "69.75 spinning | Timer1 Timer3 | Rolling... | up disabled | hhh");
    form.input().keyUp(Key::Space);
    form.scheduler().advanceBy(200);
    form.input().keyDown(Key::Return); // during the reveal: the windows hide, nothing is charged
    EXPECT_EQ(seen(), "69.75 spinning | Timer1 Timer3 | Rolling... | pulled | hhh");
    form.input().releaseLostKey();
    EXPECT_EQ(seen(), "69.75 spinning | Timer1 Timer3 | Rolling... | up | hhh");
    form.input().keyDown(Key::Tab);
    EXPECT_EQ(form.input().focused(), &form.Image4);
    form.input().keyDown(Key::Tab);
    EXPECT_EQ(form.input().focused(), &form.Image1);
    form.input().keyDown(Key::BackTab);
    EXPECT_EQ(form.input().focused(), &form.Image4);
    form.input().keyDown(Key::Return);
    form.input().releaseLostKey();
    form.input().keyDown(Key::Space);
    form.input().keyDown(Key::Space);
    EXPECT_TRUE(services.boxes.empty()); // a click comes with a release seen, and only then
    form.input().keyUp(Key::Space);
    EXPECT_EQ(services.boxes.size(), 1U);
}

// Letting timers rest changes nothing a player could see: random play through the form's own
// entry points (presses and releases with any button, releases the window lost, the print
// question answered either way, waits of up to a second, a last quarter) on a game whose every
// due timer ticks and on one whose idle timers rest shows each change at the same millisecond.
TEST(RestingTimers, ShowWhatTickingEveryTimerWouldAtTheSameMillisecond) {
    for (std::uint32_t seed = 1; seed <= 8; ++seed) {
        std::array<testing::LoadedGame, 2> games;
        std::array<std::vector<std::string>, 2> shown;
        for (std::size_t i : {0U, 1U}) {
            games[i].services.random.seed(seed);
            games[i].form.setDisplayListener([&games, &shown, i](const Control& c, const Rect&) {
                const auto* label = dynamic_cast<const Label*>(&c);
                const auto* image = dynamic_cast<const Image*>(&c);
                shown[i].push_back(std::to_string(games[i].form.scheduler().now()) + " " +
                                   std::string(c.name()) + std::to_string(c.index()) +
                                   (c.visible() ? "+" : "-") + (c.enabled() ? "" : "x") +
                                   (label                       ? label->caption()
                                    : image && image->picture() ? image->picture()->name
                                                                : ""));
            });
        }
        games[0].form.scheduler().setResting(false);
        std::mt19937 random(seed);
        const auto pick = [&random](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        for (int event = 0; event < 400 && !games[1].form.ended(); ++event) {
            const int kind = pick(0, 19);
            const MouseEvent mouse{MouseButtons{1} << (pick(0, 3) ? pick(0, 2) : pick(3, 26)), 0,
                                   static_cast<float>(pick(0, 9500)),
                                   static_cast<float>(pick(0, 7000))};
            const int ms = pick(0, 1000);
            const MsgBoxResult answer = pick(0, 1) ? MsgBoxResult::Yes : MsgBoxResult::No;
            for (testing::LoadedGame& game : games) {
                if (kind < 10) {
                    kind < 5 ? game.form.input().mouseDown(mouse)
                             : game.form.input().mouseUp(mouse);
                } else if (kind == 10) {
                    game.form.input().releaseLostButtons(0, 0, 0);
                } else if (kind == 11) {
                    game.services.answers = {answer};
                    game.clickPrint();
                } else if (kind == 12) {
                    game.form.Money = 0.25F;
                    game.form.scheduler().noteChange(everyPart);
                } else {
                    game.form.scheduler().advanceBy(ms);
                }
            }
            const auto [first, second] =
                std::mismatch(shown[0].begin(), shown[0].end(), shown[1].begin(), shown[1].end());
            ASSERT_TRUE(first == shown[0].end() && second == shown[1].end())
                << "seed " << seed << ", event " << event
                << "; ticking every timer: " << (first == shown[0].end() ? "(nothing)" : *first)
                << "; resting timers: " << (second == shown[1].end() ? "(nothing)" : *second);
        }
    }
}

} // namespace
} // namespace jangora
