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
        case ControlKind::Image:
            controls_.push_back(std::make_unique<Image>(
                *this, description, pictureNamed(pictures_, description.picture)));
            break;
        case ControlKind::Label:
            controls_.push_back(std::make_unique<Label>(*this, description));
            break;
        case ControlKind::Line:
            controls_.push_back(std::make_unique<Line>(*this, description));
            break;
        }
    }
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
    if (held_ == 0) {
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
