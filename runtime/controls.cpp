#include "runtime/controls.h"

#include "runtime/form.h"

#include <algorithm>
#include <utility>

namespace jangora {

Control::Control(Form& form, const ControlDescription& description)
    : form_(form), scheduler_(form.scheduler()), name_(description.name), index_(description.index),
      accessible_(description.accessible), tabIndex_(description.tabIndex),
      visible_(description.visible), enabled_(description.enabled) {}

void Control::setVisible(bool visible) {
    if (visible_ == visible) {
        return;
    }
    visible_ = visible;
    changed();
    shownChanged();
}

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) {
        return;
    }
    enabled_ = enabled;
    changed();
    shownChanged(false);
    enabledChanged();
}

void Control::shownChanged(bool repaint) const {
    form_.controlChanged(*this, repaint ? paintBounds() : Rect{});
}

Image::Image(Form& form, const ControlDescription& description, Picture picture)
    : Control(form, description), bounds_{description.left, description.top, description.width,
                                          description.height},
      stretch_(description.stretch), picture_(picture) {}

void Image::move(int left, int top) {
    if (left == bounds_.left && top == bounds_.top) {
        return;
    }
    changed();
    shownChanged(visible());
    bounds_.left = left;
    bounds_.top = top;
    shownChanged(visible());
}

Label::Label(Form& form, const ControlDescription& description)
    : Control(form, description), bounds_{description.left, description.top, description.width,
                                          description.height},
      caption_(description.caption), font_(description.font), foreColor_(description.foreColor),
      backColor_(description.backColor), alignment_(description.alignment) {}

void Label::setCaption(std::string_view caption) {
    if (caption_ == caption) {
        return;
    }
    caption_.assign(caption);
    changed();
    shownChanged(visible());
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
    : Control(form, description), interval_(description.interval) {}

void Timer::tick() {
    if (onTimer) {
        form().dispatch(onTimer);
    }
}

void Timer::enabledChanged() {
    if (enabled()) {
        form().scheduler().start(*this);
    } else {
        form().scheduler().stop(*this);
    }
}

} // namespace jangora
