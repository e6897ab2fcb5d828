#include "game/symbol_table.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace jangora {
namespace {

using testing::LoadedGame;

// Random play through the form's own entry points: presses and releases anywhere with any
// button, releases the window lost, clicks on the print button with either answer, time
// moving on by 0 to 1000 ms, and now and then a bankroll of a last quarter.
class RandomEvents {
  public:
    explicit RandomEvents(std::uint32_t seed) : random_(seed) {}

    // Plays one event on each game; returns what it was.
    std::string playOn(const std::vector<LoadedGame*>& games) {
        std::ostringstream what;
        const int kind = pick(0, 19);
        if (kind < 10) {
            // Left, right and middle mostly, so that at times none is held; else any other.
            const MouseButtons button = MouseButtons{1}
                                        << (pick(0, 3) == 0 ? pick(3, 26) : pick(0, 2));
            const MouseEvent event{button, static_cast<std::int16_t>(pick(0, 7)),
                                   static_cast<float>(pick(0, 9500)),
                                   static_cast<float>(pick(0, 7000))};
            const bool down = kind < 5;
            what << (down ? "down " : "up ") << button << " at " << event.X << "," << event.Y;
            for (LoadedGame* game : games) {
                down ? game->form.mouseDown(event) : game->form.mouseUp(event);
            }
            held_ = down ? held_ | button : held_ & ~button;
        } else if (kind == 10) {
            const auto stillDown = static_cast<MouseButtons>(pick(0, 7));
            what << "lost all but " << stillDown;
            for (LoadedGame* game : games) {
                game->form.releaseLostButtons(stillDown, 0, 0);
            }
            held_ &= stillDown;
        } else if (kind == 11 && held_ == 0) {
            const bool yes = pick(0, 1) == 1;
            what << "print " << (yes ? "yes" : "no");
            for (LoadedGame* game : games) {
                game->services.answers = {yes ? MsgBoxResult::Yes : MsgBoxResult::No};
                game->form.mouseDown({LeftButton, 0, 8800, 6500});
                game->form.mouseUp({LeftButton, 0, 8800, 6500});
            }
        } else if (kind == 12) {
            what << "last quarter";
            for (LoadedGame* game : games) {
                game->form.Money = 0.25F;
                game->form.scheduler().noteChange();
            }
        } else {
            const int ms = pick(0, 1000);
            what << "wait " << ms;
            for (LoadedGame* game : games) {
                game->form.scheduler().advanceBy(ms);
            }
        }
        return what.str();
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
    std::ostringstream text;
    text << what << " (seed " << seed << "); events of this game:";
    for (const std::string& event : events) {
        text << "\n  " << event;
    }
    return text.str();
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
            check(std::fmod(form.Money * 4, 1.0F) == 0 && form.Money >= 0,
                  "the bankroll is not whole quarters");
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
            if (events.held() == 0 && !form.ended()) {
                check(form.Image1.visible() && !form.Image3.visible(),
                      "the lever is not at rest with no button held");
            }
            for (std::int16_t reel = 1; reel <= 3; ++reel) {
                const std::int16_t symbol = form.ReelSymbol(reel);
                check(symbol == 0 ||
                          form.picInSlot(static_cast<std::int16_t>(reel - 1)).picture() ==
                              form.picSlot(symbols[static_cast<std::size_t>(symbol - 1)].firstStop)
                                  .picture(),
                      "a reel window shows another symbol than the spin recorded");
            }
            check(!spun || !form.Timer2.enabled(), "the blink came back after the first spin");
            check(game->services.errors.empty(), "a run-time error was raised");
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
            timer->onTimer = [this, inner = timer->onTimer] {
                inner();
                record();
            };
        }
        for (MouseHandler* handler : {&form.Image1.onMouseDown, &form.Image1.onMouseUp}) {
            *handler = [this, inner = *handler](const MouseEvent& event) {
                inner(event);
                record();
            };
        }
        form.Image4.onClick = [this, inner = form.Image4.onClick] {
            inner();
            record();
        };
        for (const auto& control : form.controls()) {
            if (const auto* image = dynamic_cast<const Image*>(control.get())) {
                images_.push_back(image);
            } else if (const auto* label = dynamic_cast<const Label*>(control.get())) {
                labels_.push_back(label);
            }
        }
    }

    std::vector<std::string> entries;

  private:
    void record() {
        const Form1& form = game_.form;
        const testing::TestServices& services = game_.services;
        std::string state;
        const auto add = [&state](auto... values) {
            ((state += std::to_string(values), state += ' '), ...);
        };
        for (const auto& control : form.controls()) {
            state += static_cast<char>('0' + control->visible() + 2 * control->enabled());
        }
        for (const Image* image : images_) {
            state += image->picture() ? image->picture()->name : "-";
            add(image->left(), image->top());
        }
        for (const Label* label : labels_) {
            state += label->caption() + '|';
        }
        add(form.ReelSymbol(1), form.ReelSymbol(2), form.ReelSymbol(3), form.Turn, form.StopNo,
            form.ReelNo, form.Money, form.GameOn, form.SymbolNo, form.SymbolCode);
        state += form.PrintAnswer + " boxes, prints, numbers drawn, ends: ";
        add(services.boxes.size(), services.prints, services.numbersDrawn, services.ends.size());
        if (state != last_) {
            last_ = state;
            entries.push_back(std::to_string(form.scheduler().now()) + " ms: " + last_);
        }
    }

    LoadedGame& game_;
    std::vector<const Image*> images_;
    std::vector<const Label*> labels_;
    std::string last_;
};

// Letting timers rest changes nothing a player could see or the game could do: the same
// random play, on a game whose every due timer ticks and on one whose idle timers rest,
// gives the same journal.
TEST(RestingTimers, ShowAndDoWhatTickingEveryTimerWouldAtTheSameMillisecond) {
    for (std::uint32_t seed = 1; seed <= 20; ++seed) {
        RandomEvents events(seed);
        std::unique_ptr<LoadedGame> everyTick = newGame(seed);
        std::unique_ptr<LoadedGame> resting = newGame(seed);
        everyTick->form.scheduler().setResting(false);
        Journal everyTickJournal(*everyTick);
        Journal restingJournal(*resting);
        std::vector<std::string> played;
        for (int event = 0; event < 400 && !resting->form.ended(); ++event) {
            played.push_back(events.playOn({everyTick.get(), resting.get()}));
            const auto& [expected, seen] =
                std::mismatch(everyTickJournal.entries.begin(), everyTickJournal.entries.end(),
                              restingJournal.entries.begin(), restingJournal.entries.end());
            ASSERT_TRUE(expected == everyTickJournal.entries.end() &&
                        seen == restingJournal.entries.end())
                << report("the games differ", seed, played) << "\nticking every timer:\n  "
                << (expected == everyTickJournal.entries.end() ? "(nothing)" : *expected)
                << "\nresting timers:\n  "
                << (seen == restingJournal.entries.end() ? "(nothing)" : *seen);
        }
    }
}

} // namespace
} // namespace jangora
