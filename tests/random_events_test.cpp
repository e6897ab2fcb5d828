#include "game/symbol_table.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace jangora {
namespace {

using testing::LoadedGame;

// Random play through the form's own entry points: presses and releases anywhere with any
// button (left, right and middle mostly, so that at times none is held), releases the window
// lost, clicks on the print button with either answer, waits of 0 to 1000 ms, and now and
// then a bankroll of a last quarter.
class RandomEvents {
  public:
    explicit RandomEvents(std::uint32_t seed) : random_(seed) {}

    // Plays the next event on each game; returns what it was.
    std::string playOn(const std::vector<LoadedGame*>& games) {
        std::string what;
        std::function<void(LoadedGame&)> event;
        const int kind = pick(0, 19);
        if (kind < 10) {
            const MouseButtons button = MouseButtons{1}
                                        << (pick(0, 3) == 0 ? pick(3, 26) : pick(0, 2));
            const MouseEvent mouse{button, static_cast<std::int16_t>(pick(0, 7)),
                                   static_cast<float>(pick(0, 9500)),
                                   static_cast<float>(pick(0, 7000))};
            const bool down = kind < 5;
            what = (down ? "down " : "up ") + std::to_string(button) + " at " +
                   std::to_string(mouse.X) + "," + std::to_string(mouse.Y);
            event = [=](LoadedGame& game) {
                down ? game.form.input().mouseDown(mouse) : game.form.input().mouseUp(mouse);
            };
            held_ = down ? held_ | button : held_ & ~button;
        } else if (kind == 10) {
            const auto stillDown = static_cast<MouseButtons>(pick(0, 7));
            what = "lost all but " + std::to_string(stillDown);
            event = [=](LoadedGame& game) {
                game.form.input().releaseLostButtons(stillDown, 0, 0);
            };
            held_ &= stillDown;
        } else if (kind == 11 && held_ == 0) {
            const MsgBoxResult answer = pick(0, 1) ? MsgBoxResult::Yes : MsgBoxResult::No;
            what = answer == MsgBoxResult::Yes ? "print yes" : "print no";
            event = [=](LoadedGame& game) {
                game.services.answers = {answer};
                game.clickPrint();
            };
        } else if (kind == 12) {
            what = "last quarter";
            event = [](LoadedGame& game) {
                game.form.Money = 0.25F;
                game.form.scheduler().noteChange(everyPart);
            };
        } else {
            const int ms = pick(0, 1000);
            what = "wait " + std::to_string(ms);
            event = [=](LoadedGame& game) { game.form.scheduler().advanceBy(ms); };
        }
        for (LoadedGame* game : games) {
            event(*game);
        }
        return what;
    }

    [[nodiscard]] MouseButtons held() const { return held_; }

  private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    std::mt19937 random_;
    MouseButtons held_ = 0;
};

// A game whose own random numbers come from the seed, so two of them draw alike.
std::unique_ptr<LoadedGame> newGame(std::uint32_t seed) {
    auto game = std::make_unique<LoadedGame>();
    game->services.random.seed(seed);
    return game;
}

std::string report(const char* what, std::uint32_t seed, const std::vector<std::string>& events) {
    std::string text = what + (" (seed " + std::to_string(seed) + "); events of this game:");
    for (const std::string& event : events) {
        text += "\n  " + event;
    }
    return text;
}

// The machine's invariants after every one of a million events, from 20 seeds. A game that
// ends is replaced by a new one, so every seed plays on.
TEST(RandomEvents, AMillionEventsKeepTheMachineSound) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        RandomEvents events(seed);
        std::unique_ptr<LoadedGame> game = newGame(seed);
        std::vector<std::string> played;
        bool spun = false;
        for (int event = 0; event < 50'000; ++event) {
            Form1& form = game->form;
            const float money = form.Money;
            const std::int16_t gameOn = form.GameOn;
            played.push_back(events.playOn({game.get()}));
            const auto check = [&](bool holds, const char* what) {
                ASSERT_TRUE(holds) << report(what, seed, played);
            };
            const float change = form.Money - money;
            check(std::fmod(form.Money * 4, 1.0F) == 0 && form.Money >= 0, "not whole quarters");
            check(form.GameOn == 0 || form.GameOn == 1, "GameOn is neither 0 nor 1");
            if (gameOn == 0 && form.GameOn == 1) {
                check(change == -0.25F, "a charged press did not take a quarter");
                spun = true;
            } else if (change != 0 && !played.back().starts_with("last quarter")) {
                check(played.back().starts_with("wait") &&
                          std::any_of(symbols.begin(), symbols.end(),
                                      [&](const Symbol& s) { return s.prize == change; }),
                      "the bankroll changed by neither a charge nor a prize");
            }
            check(events.held() != 0 || form.ended() ||
                      (form.Image1.visible() && !form.Image3.visible()),
                  "the lever is not at rest with no button held");
            check(!spun || !form.Timer2.enabled(), "the blink came back after the first spin");
            check(game->services.errors.empty(), "a run-time error was raised");
            if (HasFailure()) {
                return; // the first broken invariant is the one to read
            }
            if (form.ended() && events.held() == 0) {
                game = newGame(seed * 7919 + static_cast<std::uint32_t>(event));
                played.clear();
                spun = false;
            }
        }
    }
}

// What a game showed and did, each time a handler changed any of it: the millisecond, every
// control's properties, the form's variables, and the count of each service call with an
// effect (boxes, prints, numbers drawn, ends).
class Journal {
  public:
    explicit Journal(LoadedGame& game) : game_(game) {
        Form1& form = game.form;
        for (Timer* timer : {&form.Timer1, &form.Timer2, &form.Timer3, &form.Timer4}) {
            timer->onTimer = [this, inner = timer->onTimer] { inner(), record(); };
        }
        for (MouseHandler* handler : {&form.Image1.onMouseDown, &form.Image1.onMouseUp}) {
            *handler = [this, inner = *handler](const MouseEvent& e) { inner(e), record(); };
        }
        form.Image4.onClick = [this, inner = form.Image4.onClick] { inner(), record(); };
    }

    std::vector<std::string> entries;

  private:
    void record() {
        const Form1& form = game_.form;
        const testing::TestServices& services = game_.services;
        std::string state;
        for (const auto& control : form.controls()) {
            state += static_cast<char>('0' + control->visible() + 2 * control->enabled());
            if (const auto* image = dynamic_cast<const Image*>(control.get())) {
                state += (image->picture() ? image->picture()->name : "-") +
                         std::to_string(image->left()) + "," + std::to_string(image->top());
            } else if (const auto* label = dynamic_cast<const Label*>(control.get())) {
                state += label->caption() + '|';
            }
        }
        for (const double value :
             {0. + form.ReelSymbol(1), 0. + form.ReelSymbol(2), 0. + form.ReelSymbol(3),
              0. + form.Turn, 0. + form.StopNo, 0. + form.ReelNo, 0. + form.Money, 0. + form.GameOn,
              0. + form.SymbolNo, 0. + form.SymbolCode, 0. + services.boxes.size(),
              0. + services.prints, 0. + services.numbersDrawn, 0. + services.ends.size()}) {
            state += " " + std::to_string(value);
        }
        state += form.PrintAnswer;
        if (state != last_) {
            last_ = state;
            entries.push_back(std::to_string(form.scheduler().now()) + " ms: " + state);
        }
    }

    LoadedGame& game_;
    std::string last_;
};

// Letting timers rest changes nothing a player could see or the game could do: the same
// random play, on a game whose every due timer ticks and on one whose idle timers rest,
// gives the same journal.
TEST(RestingTimers, ShowAndDoWhatTickingEveryTimerWouldAtTheSameMillisecond) {
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        RandomEvents events(seed);
        std::unique_ptr<LoadedGame> everyTick = newGame(seed);
        std::unique_ptr<LoadedGame> resting = newGame(seed);
        everyTick->form.scheduler().setResting(false);
        Journal expected(*everyTick);
        Journal seen(*resting);
        std::vector<std::string> played;
        for (int event = 0; event < 400 && !resting->form.ended(); ++event) {
            played.push_back(events.playOn({everyTick.get(), resting.get()}));
            const auto [first, second] =
                std::mismatch(expected.entries.begin(), expected.entries.end(),
                              seen.entries.begin(), seen.entries.end());
            ASSERT_TRUE(first == expected.entries.end() && second == seen.entries.end())
                << report("the games differ", seed, played) << "\nticking every timer:\n  "
                << (first == expected.entries.end() ? "(nothing)" : *first)
                << "\nresting timers:\n  "
                << (second == seen.entries.end() ? "(nothing)" : *second);
        }
    }
}

// Pearson's statistic of observed counts against the counts that `weights` (of `total`) give.
template <std::size_t N>
double chiSquare(const std::array<double, N>& observed, const std::array<double, N>& weights,
                 double total, double spins) {
    double sum = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const double expected = spins * weights[i] / total;
        sum += (observed[i] - expected) * (observed[i] - expected) / expected;
    }
    return sum;
}

// 100,000 spins through the real random source and the real handlers, from a fixed seed, each
// check a chi-square goodness-of-fit test at the 0.1 % level: on each reel the symbols come 10,
// 8, 6, 5, 2 and 1 times in 32 (stop 0 is never drawn), and lines of three 1000, 512, 216, 125,
// 8 and 1 times in 32768.
TEST(Fairness, SymbolsAndLinesOfThreeComeAsOftenAsTheWeightsSay) {
    constexpr double spins = 100'000;
    testing::LoadedGame game;
    Form1& form = game.form;
    game.services.random.seed(20261206);

    std::array<std::array<double, 6>, 3> symbols{};
    std::array<double, 6> lines{}; // none, apple, cherry, banana, box, and the two rarest pooled
    for (int spin = 0; spin < spins; ++spin) {
        const float before = form.Money;
        game.pull();
        form.scheduler().advanceBy(500);
        for (std::size_t reel = 0; reel < 3; ++reel) {
            symbols[reel][static_cast<std::size_t>(form.ReelSymbol(reel + 1) - 1)] += 1;
        }
        lines[form.Money > before ? std::min<std::size_t>(form.ReelSymbol(1), 5) : 0] += 1;
    }
    for (const auto& reel : symbols) { // five degrees of freedom each: 20.515 at 0.1 %
        EXPECT_LT(chiSquare(reel, {10, 8, 6, 5, 2, 1}, 32, spins), 20.515);
    }
    EXPECT_LT(chiSquare(lines, {30906, 1000, 512, 216, 125, 9}, 32768, spins), 20.515);
}

} // namespace
} // namespace jangora
