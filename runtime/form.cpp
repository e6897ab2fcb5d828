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
        case ControlKind::Timer:
            controls_.push_back(std::make_unique<Timer>(*this, description));
            break;
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
    input_.setTabOrder(controls_);
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

// No timer ticks behind a modal box: each box is answered before the game goes on, and the
// guard's message is shown once.
MsgBoxResult Form::msgBox(std::string_view prompt, MsgBoxStyle style, std::string_view title) {
    serviceUsed_ = true; // a box is a change of anything at all
    const MsgBoxResult answer = modal([&] { return services_.msgBox(prompt, style, title); });
    if (ended_) {
        throw Ended{};
    }
    return answer;
}

void Form::end(int exitStatus) {
    if (ended_) {
        return;
    }
    ended_ = true;
    exitStatus_ = exitStatus;
    scheduler_.halt();
    input_.letGo();
    services_.endProgram(exitStatus);
}

void Form::fail(const RuntimeError& error) {
    reportingError_ = true;
    serviceUsed_ = true;
    modal([&] { services_.reportError(error); });
    end(1);
}

} // namespace jangora
