#pragma once

#include "runtime/form.h"
#include "runtime/random_source.h"
#include "runtime/services.h"
#include "ui/form1.h"
#include "ui/pictures.h"

#include <array>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace jangora::testing {

// Services for driving the model in a test: scripted random numbers (or a seeded real source
// once the script runs out), scripted answers, and a record of every box, print and end.
class TestServices : public Services {
  public:
    struct Box {
        std::string prompt;
        MsgBoxStyle style;
        std::string title;
        bool timersPaused;
    };

    void randomize() override { ++randomizeCalls; }
    float rnd() override {
        ++numbersDrawn;
        float next = random.next();
        if (!script.empty()) {
            next = script.front();
            script.pop_front();
        }
        lastThree = {lastThree[1], lastThree[2], next};
        return next;
    }
    MsgBoxResult msgBox(std::string_view prompt, MsgBoxStyle style,
                        std::string_view title) override {
        boxes.push_back(
            {std::string(prompt), style, std::string(title), form && form->scheduler().paused()});
        if (closeWindowInBox && form) {
            form->close();
        }
        if (answers.empty()) {
            return style == MsgBoxStyle::YesNo ? MsgBoxResult::No : MsgBoxResult::Ok;
        }
        const MsgBoxResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::string formatCurrency(float dollars) override {
        if (formattedDollars != dollars) { // the bankroll is shown every millisecond
            char text[32];
            std::snprintf(text, sizeof text, "$%.2f", static_cast<double>(dollars));
            formatted = text;
            formattedDollars = dollars;
        }
        return formatted;
    }
    void printForm(const Form& /*form*/) override { ++prints; }
    void endProgram(int exitStatus) override { ends.push_back(exitStatus); }
    void reportError(const RuntimeError& error) override {
        errors.push_back(error.number());
        if (closeWindowInBox && form) {
            form->close();
        }
    }

    Form* form = nullptr;
    bool closeWindowInBox = false; // the player closes the window while a box is open
    std::optional<float> formattedDollars;
    std::string formatted;
    std::deque<float> script;
    RandomSource random;
    std::deque<MsgBoxResult> answers;
    int randomizeCalls = 0;
    int numbersDrawn = 0;
    std::array<float, 3> lastThree{}; // the numbers drawn last, oldest first
    int prints = 0;
    std::vector<Box> boxes;
    std::vector<int> ends;
    std::vector<ErrorNumber> errors;
};

// Stand-ins for the pictures: the model only passes them on, so their bytes do not matter.
inline PictureSet namedPictures() {
    PictureSet pictures;
    for (const PictureFile& file : form1Pictures) {
        pictures.emplace(
            std::string(file.file),
            std::make_shared<const PictureData>(PictureData{
                std::string(file.file), file.width, file.height, {}, std::string(file.shows)}));
    }
    return pictures;
}

// Form1 after its load handler, with its test services.
struct LoadedGame {
    LoadedGame() : form(services, pictures) {
        services.form = &form;
        form.load();
    }

    // The lever pressed and released, anywhere on it, with the left button.
    void pull() {
        const MouseEvent onLever{LeftButton, 0, static_cast<float>(form.Image1.left() + 30),
                                 static_cast<float>(form.Image1.top() + 30)};
        form.mouseDown(onLever);
        form.mouseUp(onLever);
    }

    TestServices services;
    PictureSet pictures = namedPictures();
    Form1 form;
};

} // namespace jangora::testing
