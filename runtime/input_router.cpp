#include "runtime/input_router.h"

#include "runtime/form.h"

#include <algorithm>

namespace jangora {

namespace {

MouseEvent leftButtonAtCentreOf(const Image& control) {
    const Rect box = control.bounds();
    return {LeftButton, 0, static_cast<float>(box.left + box.width / 2),
            static_cast<float>(box.top + box.height / 2)};
}

} // namespace

void InputRouter::setTabOrder(const std::vector<std::unique_ptr<Control>>& controls) {
    tabOrder_.clear();
    for (const auto& control : controls) {
        if (auto* image = dynamic_cast<Image*>(control.get()); image && image->tabIndex() >= 0) {
            tabOrder_.push_back(image);
        }
    }
    std::stable_sort(tabOrder_.begin(), tabOrder_.end(),
                     [](const Image* a, const Image* b) { return a->tabIndex() < b->tabIndex(); });
    focused_ = tabOrder_.empty() ? nullptr : tabOrder_.front();
}

Image* InputRouter::imageAt(int x, int y) const {
    // Later controls lie on top of earlier ones.
    const auto& controls = form_.controls();
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
        auto* image = dynamic_cast<Image*>(it->get());
        if (image && image->visible() && image->enabled() && image->hasMouseHandler() &&
            image->bounds().contains(x, y)) {
            return image;
        }
    }
    return nullptr;
}

void InputRouter::mouseDown(const MouseEvent& event) {
    if (!form_.takesInput()) {
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
        form_.dispatch(captured_->onMouseDown, event);
    }
}

void InputRouter::mouseUp(const MouseEvent& event) {
    if (form_.takesInput() && (held_ & event.Button) != 0) { // else its press never came
        release(event, true);
    }
}

void InputRouter::releaseLostButtons(MouseButtons stillDown, float x, float y) {
    if (!form_.takesInput()) {
        return;
    }
    for (MouseButtons lost = held_ & ~stillDown; lost != 0; lost = held_ & ~stillDown) {
        release({lost & (~lost + 1), 0, x, y}, false); // the lowest of them first
    }
}

void InputRouter::release(const MouseEvent& event, bool seen) {
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
        form_.dispatch(target->onMouseUp, event);
    }
    if (seen && target->onClick && event.Button == LeftButton && held_ == 0 &&
        target->bounds().contains(static_cast<int>(event.X), static_cast<int>(event.Y))) {
        form_.dispatch(target->onClick);
    }
}

void InputRouter::keyDown(Key key) {
    if (!form_.takesInput() || !focused_) {
        return;
    }
    if (!showsFocus_) {
        showsFocus_ = true;
        form_.redisplay(*focused_, focused_->bounds());
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

void InputRouter::keyUp(Key key) {
    if (form_.takesInput() && keyHeld_ == key) {
        mouseUp(keyPress_); // where it went down, though the focus may have moved since
    }
}

void InputRouter::releaseLostKey() {
    if (form_.takesInput() && keyHeld_) {
        release(keyPress_, false);
    }
}

void InputRouter::moveFocus(bool forward) {
    const auto at = std::find(tabOrder_.begin(), tabOrder_.end(), focused_);
    const auto count = static_cast<std::ptrdiff_t>(tabOrder_.size());
    const std::ptrdiff_t next = ((at - tabOrder_.begin()) + (forward ? 1 : count - 1)) % count;
    const Image* previous = focused_;
    focused_ = tabOrder_[static_cast<std::size_t>(next)];
    form_.redisplay(*previous, previous->bounds());
    form_.redisplay(*focused_, focused_->bounds());
}

void InputRouter::pressAndRelease(const Image& control) {
    const MouseEvent click = leftButtonAtCentreOf(control);
    mouseDown(click);
    mouseUp(click);
}

void InputRouter::letGo() {
    captured_ = nullptr;
    held_ = 0;
    keyHeld_.reset();
}

} // namespace jangora
