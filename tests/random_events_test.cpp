#include "game/symbol_table.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace jangora {
namespace {

using testing::LoadedGame;

// Random presses and releases anywhere with any button, clicks on the print button with
// either answer, and time moving on by 0 to 1000 ms, all through the form's own entry points;
// the machine's invariants are checked after every event. A game that ends is replaced by a
// new one, so every seed plays on. A failure names the seed and the events that led to it.
class RandomPlay {
  public:
    explicit RandomPlay(std::uint32_t seed) : seed_(seed), events_(seed) { newGame(); }

    bool step() {
        Form1& form = game_->form;
        const float money = form.Money;
        const std::int16_t gameOn = form.GameOn;
        const bool wasEnded = form.ended();
        const std::string before = snapshot();

        const int kind = pick(0, 4);
        bool waited = false;
        if (kind == 0 || kind == 1) {
            // Left, right and middle mostly, so that at times none is held; else any other.
            const MouseButtons button = MouseButtons{1}
                                        << (pick(0, 3) == 0 ? pick(3, 26) : pick(0, 2));
            const MouseEvent event{button, static_cast<std::int16_t>(pick(0, 7)),
                                   static_cast<float>(pick(0, 9500)),
                                   static_cast<float>(pick(0, 7000))};
            if (kind == 0) {
                log("down", button, event.X, event.Y);
                form.mouseDown(event);
                held_ |= button;
            } else {
                log("up", button, event.X, event.Y);
                form.mouseUp(event);
                held_ &= ~button;
            }
        } else if (kind == 4) { // the window lost some releases, or the pointer
            const auto stillDown = static_cast<MouseButtons>(pick(0, 7));
            log("lost", static_cast<int>(held_ & ~stillDown), 0, 0);
            form.releaseLostButtons(stillDown, 0, 0);
            held_ &= stillDown;
        } else if (kind == 2 && held_ == 0) {
            const bool yes = pick(0, 1) == 1;
            log(yes ? "print yes" : "print no", 0, 0, 0);
            game_->services.answers = {yes ? MsgBoxResult::Yes : MsgBoxResult::No};
            const MouseEvent onButton{LeftButton, 0, 8800, 6500};
            form.mouseDown(onButton);
            form.mouseUp(onButton);
        } else {
            const int ms = pick(0, 1000);
            log("wait", 0, ms, 0);
            form.scheduler().advanceBy(ms);
            waited = true;
        }

        if (wasEnded) {
            check(snapshot() == before, "a handler ran after the end");
        } else {
            checkInvariants(money, gameOn, waited);
        }
        if (form.ended() && held_ == 0) {
            newGame();
        }
        return failure_.empty();
    }

    [[nodiscard]] const std::string& failure() const { return failure_; }

  private:
    void newGame() {
        game_ = std::make_unique<LoadedGame>();
        game_->services.random.seed(seed_ * 7919 + ++games_);
        spun_ = false;
        recent_.clear();
    }

    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(events_); }

    void log(const char* what, MouseButtons button, double x, double y) {
        std::ostringstream line;
        line << what << " " << button << " " << x << " " << y;
        recent_.push_back(line.str());
    }

    [[nodiscard]] std::string snapshot() const {
        const Form1& form = game_->form;
        std::ostringstream state;
        state << form.Money << form.GameOn << form.Label3.caption() << form.Label2.caption()
              << form.Image1.visible() << form.Image3.visible() << form.PrintAnswer;
        return state.str();
    }

    void check(bool holds, const std::string& what) {
        if (holds || !failure_.empty()) {
            return;
        }
        std::ostringstream report;
        report << what << " (seed " << seed_ << ", game " << games_ << "); events of this game:";
        for (const std::string& event : recent_) {
            report << "\n  " << event;
        }
        failure_ = report.str();
    }

    void checkInvariants(float money, std::int16_t gameOn, bool waited) {
        const Form1& form = game_->form;
        const float change = form.Money - money;
        const bool charged = gameOn == 0 && form.GameOn == 1;
        check(std::fmod(form.Money * 4, 1.0F) == 0 && form.Money >= 0,
              "the bankroll is not whole quarters");
        check(form.GameOn == 0 || form.GameOn == 1, "GameOn is neither 0 nor 1");
        if (charged) {
            check(change == -0.25F, "a charged press did not take a quarter");
            spun_ = true;
        } else if (change != 0) {
            const bool prize =
                waited && std::any_of(symbols.begin(), symbols.end(),
                                      [&](const Symbol& s) { return s.prize == change; });
            check(prize, "the bankroll changed by neither a charge nor a prize");
        }
        if (held_ == 0) {
            check(form.Image1.visible() && !form.Image3.visible(),
                  "the lever is not at rest with no button held");
        }
        for (std::int16_t reel = 1; reel <= 3; ++reel) {
            const std::int16_t symbol = form.ReelSymbol(reel);
            if (symbol != 0) {
                check(form.picInSlot(static_cast<std::int16_t>(reel - 1)).picture() ==
                          form.templateControl(symbols[static_cast<std::size_t>(symbol - 1)])
                              .picture(),
                      "a reel window shows another symbol than the spin recorded");
            }
        }
        check(!spun_ || !form.Timer2.enabled(), "the blink came back after the first spin");
        check(game_->services.errors.empty(), "a run-time error was raised");
    }

    std::uint32_t seed_;
    std::mt19937 events_;
    std::unique_ptr<LoadedGame> game_;
    int games_ = 0;
    MouseButtons held_ = 0;
    bool spun_ = false;
    std::vector<std::string> recent_;
    std::string failure_;
};

TEST(RandomEvents, AMillionEventsKeepTheMachineSound) {
    constexpr int seeds = 20;
    constexpr int eventsPerSeed = 50'000;
    for (std::uint32_t seed = 1; seed <= seeds; ++seed) {
        RandomPlay play(seed);
        for (int event = 0; event < eventsPerSeed; ++event) {
            if (!play.step()) {
                FAIL() << play.failure();
            }
        }
    }
}

} // namespace
} // namespace jangora
