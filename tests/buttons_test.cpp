#include "test_services.h"

#include <gtest/gtest.h>

namespace jangora {
namespace {

using testing::LoadedGame;

TEST(StatusBlink, TheStatusLineBlinksUntilTheFirstSpinAndNeverAgain) {
    LoadedGame game;
    Form1& form = game.form;
    form.scheduler().advanceBy(749);
    EXPECT_TRUE(form.Label3.visible());
    form.scheduler().advanceBy(1);
    EXPECT_FALSE(form.Label3.visible()); // the first tick hides it
    form.scheduler().advanceBy(750);
    EXPECT_TRUE(form.Label3.visible());
    form.scheduler().advanceBy(750);
    ASSERT_FALSE(form.Label3.visible());

    game.pull(); // the first spin, while the line is hidden
    EXPECT_TRUE(form.Label3.visible());
    EXPECT_FALSE(form.Timer2.enabled());
    for (int spin = 0; spin < 5; ++spin) {
        form.scheduler().advanceBy(1000);
        EXPECT_TRUE(form.Label3.visible());
        game.pull();
    }
    EXPECT_FALSE(form.scheduler().isScheduled(form.Timer2));
}

struct PrintButton : ::testing::Test {
    // A click on the part of the button that shows at the starting window size.
    void clickPrint() {
        const MouseEvent corner{LeftButton, 0, 8760 + 10 * 15, 6480 + 8 * 15};
        game.form.mouseDown(corner);
        game.form.mouseUp(corner);
    }

    LoadedGame game;
};

TEST_F(PrintButton, NoPrintsNothingAndYesPrintsTheWindowOnce) {
    game.services.answers = {MsgBoxResult::No};
    clickPrint();
    ASSERT_EQ(game.services.boxes.size(), 1U);
    const auto& box = game.services.boxes.front();
    EXPECT_EQ(box.prompt,
              "This button is to print the current screen. Are you sure you want to do that?");
    EXPECT_EQ(box.title, "Jangora 2.4");
    EXPECT_EQ(box.style, MsgBoxStyle::YesNo);
    EXPECT_EQ(game.form.PrintAnswer, "7");
    EXPECT_EQ(game.services.prints, 0);

    game.services.answers = {MsgBoxResult::Yes};
    clickPrint();
    EXPECT_EQ(game.form.PrintAnswer, "6");
    EXPECT_EQ(game.services.prints, 1);
}

TEST_F(PrintButton, AClickDuringTheRevealChangesNothingOfTheSpin) {
    Form1& form = game.form;
    for (const MsgBoxResult answer : {MsgBoxResult::Yes, MsgBoxResult::No}) {
        game.services.script = {0.001F, 0.0F, 0.0F, 0.0F}; // three apples
        game.pull();
        form.scheduler().advanceBy(200);
        const float money = form.Money;
        const std::array reels{form.ReelSymbol(1), form.ReelSymbol(2), form.ReelSymbol(3)};
        const int drawn = game.services.numbersDrawn;
        game.services.answers = {answer};
        clickPrint();
        EXPECT_EQ(form.Money, money);
        EXPECT_EQ(form.GameOn, 1);
        EXPECT_EQ(form.SymbolCode, 1);
        EXPECT_EQ((std::array{form.ReelSymbol(1), form.ReelSymbol(2), form.ReelSymbol(3)}), reels);
        EXPECT_EQ(game.services.numbersDrawn, drawn);
        EXPECT_TRUE(form.Timer3.enabled());
        form.scheduler().advanceBy(300); // the spin goes on and pays as it would have
        EXPECT_EQ(form.Money, money + 10);
    }
}

TEST_F(PrintButton, ClosingTheWindowWhileTheQuestionIsOpenEndsTheProgramWithoutPrinting) {
    game.services.closeWindowInBox = true;
    game.services.answers = {MsgBoxResult::Yes}; // the answer a closed box may still give
    clickPrint();
    EXPECT_EQ(game.services.boxes.size(), 1U);
    EXPECT_EQ(game.services.prints, 0);
    EXPECT_EQ(game.form.PrintAnswer, ""); // the handler went no further than its box
    EXPECT_EQ(game.services.ends, std::vector<int>{0});
    EXPECT_TRUE(game.services.errors.empty());
    EXPECT_FALSE(game.form.scheduler().nextDeadline()); // and no timer ticks again
}

// Space or Return is the left button at the focused control's centre while the key is down;
// a key already down does nothing more; Tab and Shift+Tab move the focus.
TEST(Keyboard, KeysPressTheFocusedControlThroughTheMouseRouting) {
    LoadedGame game;
    Form1& form = game.form;
    using Key = Form::Key;
    ASSERT_EQ(form.focused(), &form.Image1);
    EXPECT_FALSE(form.showsFocus());
    form.keyDown(Key::Space);
    EXPECT_TRUE(form.showsFocus());
    EXPECT_TRUE(form.Image3.visible()); // pulled while the key is down
    EXPECT_EQ(form.Money, 69.75F);
    form.keyDown(Key::Space); // repeated, and another key while it is down
    form.keyDown(Key::Return);
    form.keyUp(Key::Return);
    EXPECT_TRUE(form.Image3.visible());
    form.keyUp(Key::Space);
    EXPECT_TRUE(form.Image1.visible());
    form.keyDown(Key::Space); // the charged press disabled the lever until the next tick
    EXPECT_FALSE(form.Image3.visible());
    form.keyUp(Key::Space);
    form.scheduler().advanceBy(200);
    form.keyDown(Key::Return); // during the reveal: the windows hide, nothing is charged
    form.keyUp(Key::Return);
    EXPECT_FALSE(form.picInSlot(0).visible());
    EXPECT_EQ(form.Money, 69.75F);

    form.keyDown(Key::Tab);
    EXPECT_EQ(form.focused(), &form.Image4);
    form.keyDown(Key::Tab);
    EXPECT_EQ(form.focused(), &form.Image1);
    form.keyDown(Key::BackTab);
    EXPECT_EQ(form.focused(), &form.Image4);
    form.keyDown(Key::Return);
    EXPECT_TRUE(game.services.boxes.empty()); // a click comes with the release
    form.keyUp(Key::Return);
    EXPECT_EQ(game.services.boxes.size(), 1U);
    EXPECT_EQ(form.Money, 69.75F);
}

} // namespace
} // namespace jangora
