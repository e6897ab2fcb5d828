#pragma once

#include "runtime/form_description.h"
#include "runtime/picture.h"
#include "runtime/scheduler.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace jangora {

class Form;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    [[nodiscard]] bool contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
    bool operator==(const Rect&) const = default;
};

// Mouse buttons, one bit each, numbered as the window system numbers them: left, right and
// middle, then back, forward and the extra buttons.
using MouseButtons = std::uint32_t;
inline constexpr MouseButtons LeftButton = 1;

// The arguments of a mouse event. The game's handlers take them and read none.
struct MouseEvent {
    MouseButtons Button = 0; // the one button that went down or up
    std::int16_t Shift = 0;
    float X = 0; // twips
    float Y = 0;
};

using MouseHandler = std::function<void(const MouseEvent&)>;

// What every control has: its name, its place in the form, and the two Boolean properties.
// Reading a property and writing one are recorded for the form's timers (the control is one
// part of what a tick reads and writes); a setter that does not change the value changes
// nothing and asks for no repaint.
class Control {
  public:
    Control(Form& form, const ControlDescription& description);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    [[nodiscard]] std::string_view name() const { return name_; }
    [[nodiscard]] std::int16_t index() const { return index_; }
    [[nodiscard]] const AccessibleDescription& accessible() const { return accessible_; }
    [[nodiscard]] int tabIndex() const { return tabIndex_; }

    [[nodiscard]] bool visible() const {
        noteRead();
        return visible_;
    }
    void setVisible(bool visible);
    [[nodiscard]] bool enabled() const {
        noteRead();
        return enabled_;
    }
    void setEnabled(bool enabled);

    // The box the control paints into, in twips; empty for a control that is never drawn.
    [[nodiscard]] virtual Rect paintBounds() const = 0;

  protected:
    [[nodiscard]] Form& form() const { return form_; }
    // The properties as the control itself sees them, not read by a handler.
    [[nodiscard]] bool visibleUnrecorded() const { return visible_; }
    [[nodiscard]] bool enabledUnrecorded() const { return enabled_; }
    void noteRead() const { record_.read |= part_; }
    // What is changed counts as written too, once the handler has run.
    void noteWritten(bool changed) const { (changed ? record_.changed : record_.written) |= part_; }
    // Has the host show the control again; `repaint` says whether its box looks different.
    void redisplay(bool repaint = true) const;
    // What enabling or disabling the control sets going: a timer starts or stops its ticks.
    virtual void followEnabled() {}

  private:
    Form& form_;
    TickRecord& record_; // of the handler running
    Parts part_;
    std::string_view name_;
    std::int16_t index_;
    AccessibleDescription accessible_;
    int tabIndex_;
    bool visible_;
    bool enabled_;
};

class Image : public Control {
  public:
    Image(Form& form, const ControlDescription& description, Picture picture);

    [[nodiscard]] int left() const {
        noteRead();
        return bounds_.left;
    }
    [[nodiscard]] int top() const {
        noteRead();
        return bounds_.top;
    }
    [[nodiscard]] Rect bounds() const { return bounds_; }
    void move(int left, int top);

    [[nodiscard]] bool stretch() const { return stretch_; }
    [[nodiscard]] Picture picture() const {
        noteRead();
        return picture_;
    }
    void setPicture(Picture picture) {
        // A spin writes thousands of pictures into hidden windows: there the write and the note
        // of it are all, without comparing (the draws are random: that branch would mispredict
        // half the time). The same picture written again counts as a change: a wake-up too many
        // at worst, never one missed.
        if (!visibleUnrecorded()) {
            picture_ = picture;
            noteWritten(true);
        } else if (picture_ != picture) {
            picture_ = picture;
            noteWritten(true);
            redisplay();
        } else {
            noteWritten(false);
        }
    }

    [[nodiscard]] Rect paintBounds() const override { return bounds_; }

    [[nodiscard]] bool hasMouseHandler() const { return onMouseDown || onMouseUp || onClick; }

    MouseHandler onMouseDown;
    MouseHandler onMouseUp;
    std::function<void()> onClick;

  private:
    Rect bounds_;
    bool stretch_;
    Picture picture_ = nullptr;
};

class Label : public Control {
  public:
    Label(Form& form, const ControlDescription& description);

    [[nodiscard]] Rect bounds() const { return bounds_; }
    [[nodiscard]] const std::string& caption() const {
        noteRead();
        return caption_;
    }
    void setCaption(std::string_view caption);

    [[nodiscard]] const FontDescription& font() const { return font_; }
    [[nodiscard]] Color foreColor() const { return foreColor_; }
    [[nodiscard]] Color backColor() const { return backColor_; }
    [[nodiscard]] Alignment alignment() const { return alignment_; }

    [[nodiscard]] Rect paintBounds() const override { return bounds_; }

  private:
    Rect bounds_;
    std::string caption_;
    FontDescription font_;
    Color foreColor_;
    Color backColor_;
    Alignment alignment_;
};

class Line : public Control {
  public:
    Line(Form& form, const ControlDescription& description);

    [[nodiscard]] int x1() const { return x1_; }
    [[nodiscard]] int y1() const { return y1_; }
    [[nodiscard]] int x2() const { return x2_; }
    [[nodiscard]] int y2() const { return y2_; }
    [[nodiscard]] int borderWidth() const { return borderWidth_; }

    [[nodiscard]] Rect paintBounds() const override;

  private:
    int x1_;
    int y1_;
    int x2_;
    int y2_;
    int borderWidth_;
};

// A periodic timer. While enabled with a non-zero interval it raises its event once per
// interval, through the form's scheduler.
class Timer : public Control {
  public:
    Timer(Form& form, const ControlDescription& description);

    [[nodiscard]] int interval() const { return interval_; }
    // Whether it is enabled with an interval, resting or not.
    [[nodiscard]] bool scheduled() const;

    [[nodiscard]] Rect paintBounds() const override { return {}; }

    std::function<void()> onTimer;
    // Says that of the form's variables the handler reads only the parts `variables` (each
    // from Form::watchVariableReadAlone): it may rest while the others change.
    void readsOfTheVariablesOnly(Parts variables) { variablesRead_ = variables; }

  private:
    void followEnabled() override;

    int interval_;
    Parts variablesRead_ = variablesPart;
    Scheduler::Id id_;
};

} // namespace jangora
