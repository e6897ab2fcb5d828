#include "runtime/controls.h"

#include "runtime/form.h"

#include <algorithm>
#include <utility>

namespace jangora {

Control::Control(Form& form, const ControlDescription& description)
    : form_(form), record_(form.record_), part_(form.nextPart()), name_(description.name),
      index_(description.index), accessible_(description.accessible),
      tabIndex_(description.tabIndex), visible_(description.visible),
      enabled_(description.enabled) {}

void Control::setVisible(bool visible) {
    noteWritten(visible_ != visible);
    if (visible_ == visible) {
        return;
    }
    visible_ = visible;
    redisplay();
}

void Control::setEnabled(bool enabled) {
    noteWritten(enabled_ != enabled);
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = enabled;
    redisplay(false);
    followEnabled();
}

void Control::redisplay(bool repaint) const {
    form_.redisplay(*this, repaint ? paintBounds() : Rect{});
}

Image::Image(Form& form, const ControlDescription& description, Picture picture)
    : Control(form, description), bounds_{description.left, description.top, description.width,
                                          description.height},
      stretch_(description.stretch), picture_(picture) {}

void Image::move(int left, int top) {
    noteWritten(left != bounds_.left || top != bounds_.top);
    if (left == bounds_.left && top == bounds_.top) {
        return;
    }
    redisplay(visibleUnrecorded());
    bounds_.left = left;
    bounds_.top = top;
    redisplay(visibleUnrecorded());
}

Label::Label(Form& form, const ControlDescription& description)
    : Control(form, description), bounds_{description.left, description.top, description.width,
                                          description.height},
      caption_(description.caption), font_(description.font), foreColor_(description.foreColor),
      backColor_(description.backColor), alignment_(description.alignment) {}

void Label::setCaption(std::string_view caption) {
    noteWritten(caption_ != caption);
    if (caption_ == caption) {
        return;
    }
    caption_.assign(caption);
    redisplay(visibleUnrecorded());
}

Line::Line(Form& form, const ControlDescription& description)
    : Control(form, description), x1_(description.x1), y1_(description.y1), x2_(description.x2),
      y2_(description.y2), borderWidth_(description.borderWidth) {}

Rect Line::paintBounds() const {
    // The pen reaches half its width, and its square ends as far again, past the end points.
    const int reach = (borderWidth_ + 1) * Form::twipsPerPixel;
    const int left = std::min(x1_, x2_) - reach;
    const int top = std::min(y1_, y2_) - reach;
    return {left, top, std::max(x1_, x2_) + reach - left, std::max(y1_, y2_) + reach - top};
}

Timer::Timer(Form& form, const ControlDescription& description)
    : Control(form, description), interval_(description.interval),
      id_(form.scheduler().add(interval_, [this] {
          return onTimer ? this->form().tick(onTimer, variablesRead_) : TickRecord{};
      })) {
    if (enabledUnrecorded()) {
        form.scheduler().start(id_);
    }
}

bool Timer::scheduled() const {
    return form().scheduler().isScheduled(id_);
}

void Timer::followEnabled() {
    if (enabledUnrecorded()) {
        form().scheduler().start(id_);
    } else {
        form().scheduler().stop(id_);
    }
}

} // namespace jangora
