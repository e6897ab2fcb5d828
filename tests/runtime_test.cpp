#include "runtime/form.h"
#include "runtime/numeric.h"
#include "test_services.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace jangora {
namespace {

using testing::TestServices;

// A small window: three timers and two overlapping images that take the mouse.
constexpr std::array<ControlDescription, 5> testControls{{
    {.kind = ControlKind::Timer, .name = "Fast", .interval = 10},
    {.kind = ControlKind::Timer, .name = "Slow", .interval = 30},
    {.kind = ControlKind::Timer, .name = "Off", .enabled = false, .interval = 10},
    {.kind = ControlKind::Image, .name = "Back", .width = 300, .height = 300},
    {.kind = ControlKind::Image,
     .name = "Front",
     .left = 150,
     .top = 150,
     .width = 300,
     .height = 300},
}};

struct RuntimeTest : ::testing::Test {
    // The schedule every tick would follow; ticks that change nothing are tested on their own.
    RuntimeTest() { form.scheduler().setResting(false); }

    template <class T> T& named(const char* name) { return dynamic_cast<T&>(form.control(name)); }
    static MouseEvent at(int x, int y, MouseButtons button = LeftButton) {
        return {button, 0, static_cast<float>(x), static_cast<float>(y)};
    }

    TestServices services;
    Form form{services, {.caption = "Test"}, testControls, {}};
    Timer& fast = named<Timer>("Fast");
    Timer& slow = named<Timer>("Slow");
    Timer& off = named<Timer>("Off");
    Image& back = named<Image>("Back");
    Image& front = named<Image>("Front");
    std::vector<std::string> log;
};

// Timers due together tick in deadline order, ties in creation order; a late tick is followed by
// the next a full interval after it ran; nothing ticks while paused; enabling an enabled timer
// changes nothing, disabling cancels, enabling again ticks one interval later.
TEST_F(RuntimeTest, TheScheduleOfTimers) {
    fast.onTimer = [&] { log.push_back("fast@" + std::to_string(form.scheduler().now())); };
    slow.onTimer = [&] { log.push_back("slow@" + std::to_string(form.scheduler().now())); };
    form.scheduler().advanceBy(30);
    EXPECT_EQ(log, (std::vector<std::string>{"fast@10", "fast@20", "fast@30", "slow@30"}));
    EXPECT_FALSE(off.scheduled());
    int ticks = 0;
    fast.onTimer = [&] { ++ticks; };
    form.scheduler().setPaused(true);
    form.scheduler().runDue(40);
    EXPECT_EQ(ticks, 0);
    form.scheduler().setPaused(false);
    form.scheduler().runDue(125); // nine intervals late
    form.scheduler().runDue(134);
    EXPECT_EQ(ticks, 1);
    fast.setEnabled(true);
    form.scheduler().runDue(135);
    EXPECT_EQ(ticks, 2);
    fast.setEnabled(false);
    form.scheduler().advanceBy(50);
    fast.setEnabled(true);
    form.scheduler().advanceBy(9);
    EXPECT_EQ(ticks, 2);
    form.scheduler().advanceBy(1);
    EXPECT_EQ(ticks, 3);
}

// A timer whose tick changed nothing it read rests until someone else changes what it read or
// wrote; it then resumes on its own phase, at the first tick of its schedule that would not
// have come already.
TEST_F(RuntimeTest, TimersRestUntilWhatTheyReadOrWroteChanges) {
    form.scheduler().setResting(true);
    off.setEnabled(true);
    const auto logged = [&](const char* name) {
        log.push_back(name + ("@" + std::to_string(form.scheduler().now())));
    };
    fast.onTimer = [&] { // keeps the back image enabled
        logged("fast");
        back.setEnabled(true);
    };
    slow.onTimer = [&] { // turns the front image over, and ticks on
        logged("slow");
        front.setVisible(!front.visible());
    };
    off.onTimer = [&] { // reads the front image
        logged("off");
        (void)front.visible();
    };
    form.scheduler().advanceBy(110);
    EXPECT_EQ(form.scheduler().nextDeadline(), 120); // only the slow timer is awake
    form.dispatch([&] { back.setEnabled(false); });  // an event, at 110: those ticks have passed
    form.scheduler().advanceBy(30);
    // At 30 the slow timer's change comes after the fast one's tick and before the other's.
    // The fast timer's tick at 120 changes only what it wrote: it rests again at once.
    EXPECT_EQ(log, (std::vector<std::string>{"fast@10", "off@10", "slow@30", "off@30", "slow@60",
                                             "off@60", "slow@90", "off@90", "fast@120", "slow@120",
                                             "off@120"}));
    slow.onTimer = [&] { // now turns the back image off
        logged("slow");
        back.setEnabled(false);
    };
    log.clear();
    form.scheduler().advanceBy(20);
    // Woken by the slow timer's tick at 150, the fast one, due then too but before it, has had
    // that tick already: the next comes at 160.
    EXPECT_EQ(log, (std::vector<std::string>{"slow@150", "fast@160"}));
}

// Where presses, releases and clicks go, with any buttons, and how lost releases come back.
TEST_F(RuntimeTest, MouseRouting) {
    for (auto [image, name] : {std::pair{&back, "back"}, std::pair{&front, "front"}}) {
        image->onMouseDown = [&, name](const MouseEvent& e) {
            log.push_back(std::string(name) + " down " + std::to_string(e.Button));
        };
        image->onMouseUp = [&, name](const MouseEvent& e) {
            log.push_back(std::string(name) + " up " + std::to_string(e.Button));
        };
        image->onClick = [&, name] { log.push_back(std::string(name) + " click"); };
    }
    const auto expect = [&](std::vector<std::string> expected) {
        EXPECT_EQ(log, expected);
        log.clear();
    };
    form.input().mouseDown(at(200, 200));   // where both lie, the later one is on top and captures
    form.input().mouseUp(at(200, 200, 16)); // a button never pressed: nothing
    form.input().mouseDown(
        at(10, 10, 8));                 // a back button over the other image: still the capture's
    form.input().mouseUp(at(200, 200)); // another button is still held: no click
    form.input().mouseUp(at(200, 200, 8)); // the last one up, but not the left button
    form.input().mouseDown(at(10, 10, 16));
    form.input().mouseDown(at(10, 10));
    form.input().mouseUp(at(10, 10, 16));
    form.input().mouseUp(at(20, 20)); // the left button up last, over the control: a click
    form.input().mouseDown(at(10, 10));
    form.input().mouseUp(at(400, 400)); // released outside it: none
    expect({"front down 1", "front down 8", "front up 1", "front up 8", "back down 16",
            "back down 1", "back up 16", "back up 1", "back click", "back down 1", "back up 1"});

    form.input().mouseDown(
        at(200, 200)); // its release is lost: the next press of it first delivers it
    form.input().mouseDown(at(10, 10));
    form.input().mouseDown(at(10, 10, 2));
    form.input().releaseLostButtons(2, 10, 10); // only the right button is still down
    form.input().releaseLostButtons(0, 10, 10); // the window lost the pointer
    form.input().mouseUp(at(10, 10, 2));
    form.input().mouseDown(at(10, 10)); // a lost release is never a click, even over the control
    form.input().mouseDown(at(10, 10));
    form.input().releaseLostButtons(0, 10, 10);
    expect({"front down 1", "front up 1", "back down 1", "back down 2", "back up 1", "back up 2",
            "back down 1", "back up 1", "back down 1", "back up 1"});

    // The release reaches the control that took the press though its press hid and disabled it;
    // then, hidden or disabled, neither image takes a press.
    front.onMouseDown = [&](const MouseEvent&) {
        log.push_back("front pulled");
        front.setVisible(false);
        back.setEnabled(false);
        front.setEnabled(false);
    };
    form.input().mouseDown(at(200, 200));
    form.input().mouseUp(at(10, 10));
    form.input().mouseDown(at(200, 200));
    form.input().mouseUp(at(200, 200));
    expect({"front pulled", "front up 1"});
}

// A run-time error escaping a handler is reported and ends the program with status 1, even
// when the window is closed on its report; nothing runs after. So is any other fault a handler
// lets escape, as the program's own error 51.
TEST_F(RuntimeTest, AnErrorEscapingAHandlerIsReportedAndEndsTheProgramWithStatusOne) {
    const ControlArray<Image> images({&back, &front});
    EXPECT_EQ(&images(1), &front);
    EXPECT_THROW(images(-1), RuntimeError);
    services.form = &form;
    services.closeWindowInBox = true;
    fast.onTimer = [&] { images(2).setVisible(false); };
    int slowTicks = 0;
    slow.onTimer = [&] { ++slowTicks; };
    form.scheduler().advanceBy(100);
    EXPECT_EQ(services.errors, std::vector<ErrorNumber>{ErrorNumber::SubscriptOutOfRange});
    EXPECT_EQ(services.ends, std::vector<int>{1});
    EXPECT_EQ(form.exitStatus(), 1);
    EXPECT_EQ(slowTicks, 0);
    TestServices others;
    Form another{others, {.caption = "Test"}, testControls, {}};
    dynamic_cast<Timer&>(another.control("Fast")).onTimer = [] {
        throw std::logic_error("a fault");
    };
    another.scheduler().advanceBy(100);
    EXPECT_EQ(others.errors, std::vector<ErrorNumber>{ErrorNumber::InternalError});
    EXPECT_EQ(others.ends, std::vector<int>{1});
}

TEST(Numeric, RoundingAndFloorsAndTheirOverflows) {
    for (const auto& [value, rounded] : {std::pair{62.5, 62}, {187.5, 188}, {-2.5, -2}}) {
        EXPECT_EQ(roundToInteger(value), rounded) << value;
    }
    for (const auto& [value, floor] :
         {std::pair{32.9999, 32}, {-0.5, -1}, {-3.0, -3}, {32767.9, 32767}, {-32767.5, -32768}}) {
        EXPECT_EQ(floorToInteger(value), floor) << value;
    }
    EXPECT_EQ(addInteger(32766, 1), 32767);
    EXPECT_EQ(toSingle(69.75), 69.75F);
    EXPECT_THROW((void)addInteger(32767, 1), RuntimeError);
    EXPECT_THROW((void)subtractInteger(-32768, 1), RuntimeError);
    EXPECT_THROW((void)roundToInteger(32767.5), RuntimeError);
    EXPECT_THROW((void)floorToInteger(std::nan("")), RuntimeError);
    EXPECT_THROW((void)floorToInteger(32768.0), RuntimeError);
    EXPECT_THROW((void)floorToInteger(-32768.5), RuntimeError);
    EXPECT_THROW((void)toSingle(1e39), RuntimeError);
    EXPECT_THROW((void)toSingle(std::nan("")), RuntimeError);
}

} // namespace
} // namespace jangora
