#pragma once

#include "runtime/random_source.h"
#include "runtime/services.h"
#include "ui/form1.h"
#include "ui/pictures.h"

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

namespace jangora::testing {

// Services for driving the model in a test: scripted random numbers (a seeded real source once
// the script runs out), scripted answers (No by default), and a record of every box, print and
// end.
class TestServices : public Services {
  public:
    void randomize() override {}
    float rnd() override {
        ++numbersDrawn;
        if (script.empty()) {
            return random.next();
        }
        const float next = script.front();
        script.pop_front();
        return next;
    }
    MsgBoxResult msgBox(std::string_view prompt, MsgBoxStyle style,
                        std::string_view title) override {
        boxes.push_back(std::string(title) + " | " + std::string(prompt) +
                        (style == MsgBoxStyle::YesNo ? " | Yes No" : " | OK") +
                        (form && form->scheduler().paused() ? " | timers paused" : ""));
        closeIfAsked();
        MsgBoxResult answer = style == MsgBoxStyle::OkOnly ? MsgBoxResult::Ok : MsgBoxResult::No;
        if (style == MsgBoxStyle::YesNo && !answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        }
        return answer;
    }
    std::string formatCurrency(float dollars) override {
        char text[32];
        std::snprintf(text, sizeof text, "$%.2f", static_cast<double>(dollars));
        return text;
    }
    void printForm() override { ++prints; }
    void endProgram(int exitStatus) override { ends.push_back(exitStatus); }
    void reportError(const RuntimeError& error) override {
        errors.push_back(error.number());
        closeIfAsked();
    }
    void closeIfAsked() const {
        if (closeWindowInBox && form) {
            form->close();
        }
    }

    Form* form = nullptr;
    bool closeWindowInBox = false; // the player closes the window while a box is open
    std::deque<float> script;
    RandomSource random;
    std::deque<MsgBoxResult> answers;
    int numbersDrawn = 0;
    int prints = 0;
    std::vector<std::string> boxes; // title | prompt | buttons | whether timers were paused
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
        form.input().mouseDown(onLever);
        form.input().mouseUp(onLever);
    }
    // The print button clicked on the part of it that shows at the window's starting size.
    void clickPrint() {
        const MouseEvent onButton{LeftButton, 0, static_cast<float>(form.Image4.left() + 150),
                                  static_cast<float>(form.Image4.top() + 120)};
        form.input().mouseDown(onButton);
        form.input().mouseUp(onButton);
    }

    TestServices services;
    PictureSet pictures = namedPictures();
    Form1 form;
};

} // namespace jangora::testing
