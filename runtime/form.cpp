#include "runtime/form.h"

#include <algorithm>
#include <stdexcept>

namespace jangora {

namespace {

Picture pictureNamed(const PictureSet& pictures, std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    const auto found = pictures.find(name);
    if (found == pictures.end()) {
        throw StartupError("The picture " + std::string(name) + " is missing.");
    }
    return found->second.get();
}

} // namespace

Form::Form(Services& services, const FormDescription& form,
           std::span<const ControlDescription> controls, const PictureSet& pictures)
    : services_(services), description_(form), pictures_(pictures),
      icon_(pictureNamed(pictures_, form.icon)) {
    controls_.reserve(controls.size());
    for (const ControlDescription& description : controls) {
        switch (description.kind) {
        case ControlKind::Timer: {
            auto timer = std::make_unique<Timer>(*this, description);
            scheduler_.add(*timer);
            controls_.push_back(std::move(timer));
            break;
        }
        case ControlKind::Image: {
            auto image = std::make_unique<Image>(*this, description,
                                                 pictureNamed(pictures_, description.picture));
            if (description.tabIndex >= 0) {
                tabOrder_.push_back(image.get());
            }
            controls_.push_back(std::move(image));
            break;
        }
        case ControlKind::Label:
            controls_.push_back(std::make_unique<Label>(*this, description));
            break;
        case ControlKind::Line:
            controls_.push_back(std::make_unique<Line>(*this, description));
            break;
        }
    }
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(),
                     [](const Image* a, const Image* b) { return a->tabIndex() < b->tabIndex(); });
    focused_ = tabOrder_.empty() ? nullptr : tabOrder_.front();
}

Control& Form::control(std::string_view name, std::int16_t index) const {
    for (const auto& control : controls_) {
        if (control->name() == name && control->index() == index) {
            return *control;
        }
    }
    throw std::logic_error("no control " + std::string(name) + " in the window description");
}

void Form::load() {
    if (onLoad) {
        dispatch(onLoad);
    }
}

Image* Form::imageAt(int x, int y) const {
    // Later controls lie on top of earlier ones.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        auto* image = dynamic_cast<Image*>(it->get());
        if (image && image->visible() && image->enabled() && image->hasMouseHandler() &&
            image->bounds().contains(x, y)) {
            return image;
        }
    }
    return nullptr;
}

void Form::mouseDown(const MouseEvent& event) {
    if (!takesInput()) {
        return;
    }
    if (held_ & event.Button) {
        release(event, false); // its release never came
    }
    if (held_ == 0) { // the first button down says which control takes them all
        captured_ = imageAt(static_cast<int>(event.X), static_cast<int>(event.Y));
    }
    held_ |= event.Button;
    if (captured_ && captured_->onMouseDown) {
        dispatch(captured_->onMouseDown, event);
    }
}

void Form::mouseUp(const MouseEvent& event) {
    if (takesInput() && (held_ & event.Button) != 0) { // else a release whose press never came
        release(event, true);
    }
}

void Form::releaseLostButtons(MouseButtons stillDown, float x, float y) {
    if (!takesInput()) {
        return;
    }
    for (MouseButtons lost = held_ & ~stillDown; lost != 0; lost = held_ & ~stillDown) {
        release({lost & (~lost + 1), 0, x, y}, false); // the lowest of them first
    }
}

void Form::release(const MouseEvent& event, bool seen) {
    held_ &= ~event.Button;
    if (event.Button == LeftButton) {
        keyHeld_.reset(); // a key that held it holds nothing now
    }
    Image* target = captured_;
    if (held_ == 0) {
        captured_ = nullptr;
    }
    if (!target) {
        return;
    }
    if (target->onMouseUp) {
        dispatch(target->onMouseUp, event);
    }
    if (seen && target->onClick && event.Button == LeftButton && held_ == 0 &&
        target->bounds().contains(static_cast<int>(event.X), static_cast<int>(event.Y))) {
        dispatch(target->onClick);
    }
}

MouseEvent Form::leftButtonAtCentreOf(const Image& control) {
    const Rect box = control.bounds();
    return {LeftButton, 0, static_cast<float>(box.left + box.width / 2),
            static_cast<float>(box.top + box.height / 2)};
}

void Form::keyDown(Key key) {
    if (!takesInput() || !focused_) {
        return;
    }
    if (!showsFocus_) {
        showsFocus_ = true;
        controlChanged(*focused_, focused_->bounds());
    }
    if (key == Key::Tab || key == Key::BackTab) {
        moveFocus(key == Key::Tab);
        return;
    }
    if (keyHeld_ == key) {
        releaseLostKey();
    }
    if (!keyHeld_) {
        keyPress_ = leftButtonAtCentreOf(*focused_);
        mouseDown(keyPress_);
        keyHeld_ = key; // after the press, which first lets go of a lost left button
    }
}

void Form::keyUp(Key key) {
    if (takesInput() && keyHeld_ == key) {
        mouseUp(keyPress_); // where it went down, though the focus may have moved since
    }
}

void Form::releaseLostKey() {
    if (takesInput() && keyHeld_) {
        release(keyPress_, false);
    }
}

void Form::moveFocus(bool forward) {
    const auto at = std::find(tabOrder_.begin(), tabOrder_.end(), focused_);
    const auto count = static_cast<std::ptrdiff_t>(tabOrder_.size());
    const std::ptrdiff_t next = ((at - tabOrder_.begin()) + (forward ? 1 : count - 1)) % count;
    const Image* previous = focused_;
    focused_ = tabOrder_[static_cast<std::size_t>(next)];
    controlChanged(*previous, previous->bounds());
    controlChanged(*focused_, focused_->bounds());
}

void Form::pressAndRelease(const Image& control) {
    const MouseEvent click = leftButtonAtCentreOf(control);
    mouseDown(click);
    mouseUp(click);
}

// No timer ticks behind a modal box: each box is answered before the game goes on, and the
// guard's message is shown once.
MsgBoxResult Form::msgBox(std::string_view prompt, MsgBoxStyle style, std::string_view title) {
    const MsgBoxResult answer = modal([&] { return services_.msgBox(prompt, style, title); });
    if (ended_) {
        throw Ended{};
    }
    return answer;
}

void Form::printForm() {
    modal([&] { services_.printForm(*this); });
    if (ended_) {
        throw Ended{};
    }
}

void Form::end(int exitStatus) {
    if (ended_) {
        return;
    }
    ended_ = true;
    scheduler_.noteChange();
    exitStatus_ = exitStatus;
    scheduler_.halt();
    captured_ = nullptr;
    held_ = 0;
    services_.endProgram(exitStatus);
}

void Form::fail(const RuntimeError& error) {
    reportingError_ = true;
    modal([&] { services_.reportError(error); });
    end(1);
}

} // namespace jangora
