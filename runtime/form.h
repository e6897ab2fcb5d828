#pragma once

#include "runtime/control_array.h"
#include "runtime/controls.h"
#include "runtime/form_description.h"
#include "runtime/picture.h"
#include "runtime/runtime_error.h"
#include "runtime/scheduler.h"
#include "runtime/services.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jangora {

// A window and its controls, in creation order, with the one dispatch point through which
// every handler runs. It knows nothing of the screen: the host feeds it mouse events and the
// clock, and paints what it holds.
class Form {
  public:
    static constexpr int twipsPerPixel = 15; // at 96 dots per inch

    Form(Services& services, const FormDescription& form,
         std::span<const ControlDescription> controls, const PictureSet& pictures);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() = default;

    [[nodiscard]] const FormDescription& description() const { return description_; }
    [[nodiscard]] Picture icon() const { return icon_; }
    [[nodiscard]] const std::vector<std::unique_ptr<Control>>& controls() const {
        return controls_;
    }
    [[nodiscard]] Scheduler& scheduler() { return scheduler_; }
    [[nodiscard]] const Scheduler& scheduler() const { return scheduler_; }

    // Events from the host. Mouse positions are in twips. While a box is open, or once the
    // program has ended, no input reaches a handler.
    void load();
    // A press goes to the topmost shown and enabled control under the pointer that takes the
    // mouse, which captures it until every button is up; a press of a button still held first
    // delivers the release that button lost.
    void mouseDown(const MouseEvent& event);
    // A release goes to the control that captured the press, even if it is hidden or disabled
    // by now; the left button's release over it, with no other button held, is also a click.
    void mouseUp(const MouseEvent& event);
    // The window system says only `stillDown` are down (or, with none, that the window lost
    // the pointer): every other button held lost its release, delivered now as if it came up
    // at (x, y), though never as a click.
    void releaseLostButtons(MouseButtons stillDown, float x, float y);

    // The keyboard: Tab and Shift+Tab move the focus among the controls that take it, and
    // Space or Return on the focused one is the left button going down at its centre while the
    // key goes down, and coming up while it comes up. Another key while one holds the button
    // does nothing; the same key again lost its release on the way, which it first delivers.
    enum class Key { Space, Return, Tab, BackTab };
    void keyDown(Key key);
    void keyUp(Key key);
    // The window lost the keyboard: a key that holds the button came up elsewhere, and its
    // release is delivered now, though never as a click.
    void releaseLostKey();
    [[nodiscard]] const Image* focused() const { return focused_; }
    // The focus is shown once a key has been used: a mouse player sees no mark of it.
    [[nodiscard]] bool showsFocus() const { return showsFocus_; }
    // A press and release of the left button at the control's centre, as a screen reader's
    // action on it.
    void pressAndRelease(const Image& control);

    // Runs one handler. Once the program has ended nothing runs; a run-time error escaping
    // the handler is reported and ends the program with status 1.
    template <class Handler, class... Args> void dispatch(const Handler& handler, Args&&... args) {
        if (ended_) {
            return;
        }
        try {
            handler(std::forward<Args>(args)...);
        } catch (const RuntimeError& error) {
            fail(error);
        } catch (const Ended&) {
            // The window was closed while the handler waited on a box: it goes no further.
        }
        if (variablesChanged_ && variablesChanged_()) {
            scheduler_.noteChange();
        }
    }

    // The player closed the window: the program ends, even with a box open; with status 0,
    // unless it was the report of a run-time error.
    void close() { end(reportingError_ ? 1 : 0); }

    [[nodiscard]] bool ended() const { return ended_; }
    // Whether a handler waits on a box (or a print) of the host.
    [[nodiscard]] bool boxOpen() const { return modalDepth_ > 0; }
    [[nodiscard]] int exitStatus() const { return exitStatus_; }

    // The host is told of every change it shows: the control (for a screen reader) and the
    // twips of the client area to repaint, empty when there is nothing to repaint.
    using ChangeListener = std::function<void(const Control&, const Rect&)>;
    void setChangeListener(ChangeListener listener) { changeListener_ = std::move(listener); }
    void controlChanged(const Control& control, const Rect& area) const {
        if (changeListener_) {
            changeListener_(control, area.width > 0 && area.height > 0 ? area : Rect{});
        }
    }

    [[nodiscard]] Control& control(std::string_view name, std::int16_t index = -1) const;

  protected:
    template <class T> [[nodiscard]] T& named(std::string_view name) const {
        return dynamic_cast<T&>(control(name));
    }
    template <class T> [[nodiscard]] ControlArray<T> array(std::string_view name) const;

    // The form-level variables of the window, compared after every handler: a change to one
    // of them is a change the form's timers must know of.
    template <class Variables> void watchVariables(const Variables& variables) {
        variablesChanged_ = [&variables, last = variables]() mutable {
            if (variables == last) {
                return false;
            }
            last = variables;
            return true;
        };
    }

    // The runtime's operations, as the handlers call them. Each but the currency text, which
    // only looks up, has an effect the form's timers must know of.
    void randomize() {
        scheduler_.noteChange();
        services_.randomize();
    }
    [[nodiscard]] float rnd() {
        scheduler_.noteChange();
        return services_.rnd();
    }
    MsgBoxResult msgBox(std::string_view prompt, MsgBoxStyle style, std::string_view title = {});
    [[nodiscard]] std::string formatCurrency(float dollars) {
        return services_.formatCurrency(dollars);
    }
    void printForm();
    void end(int exitStatus = 0);

    std::function<void()> onLoad;

  private:
    struct Ended {}; // thrown out of a box that the end of the program closed

    void fail(const RuntimeError& error);
    [[nodiscard]] bool takesInput() const { return !ended_ && modalDepth_ == 0; }
    void release(const MouseEvent& event, bool seen);
    [[nodiscard]] static MouseEvent leftButtonAtCentreOf(const Image& control);
    void moveFocus(bool forward);
    // Runs a modal operation of the host; no timer ticks until it is over.
    template <class Operation> auto modal(const Operation& operation);
    [[nodiscard]] Image* imageAt(int x, int y) const;

    Services& services_;
    FormDescription description_;
    PictureSet pictures_;
    Picture icon_;
    std::vector<std::unique_ptr<Control>> controls_;
    Scheduler scheduler_;
    ChangeListener changeListener_;
    std::function<bool()> variablesChanged_;

    Image* captured_ = nullptr; // the control that took the press, until every button is up
    MouseButtons held_ = 0;
    std::vector<Image*> tabOrder_;
    Image* focused_ = nullptr;
    bool showsFocus_ = false;
    std::optional<Key> keyHeld_; // the key whose press holds the left button
    MouseEvent keyPress_;
    int modalDepth_ = 0; // boxes open
    bool ended_ = false;
    bool reportingError_ = false;
    int exitStatus_ = 0;
};

template <class Operation> auto Form::modal(const Operation& operation) {
    struct Open {
        Form& form;
        explicit Open(Form& f) : form(f) {
            form.scheduler_.noteChange();
            ++form.modalDepth_;
            form.scheduler_.setPaused(true);
        }
        ~Open() { form.scheduler_.setPaused(--form.modalDepth_ > 0); }
        Open(const Open&) = delete;
        Open& operator=(const Open&) = delete;
    } open(*this);
    return operation();
}

template <class T> ControlArray<T> Form::array(std::string_view name) const {
    std::vector<T*> elements;
    for (std::int16_t index = 0;; ++index) {
        const auto found =
            std::find_if(controls_.begin(), controls_.end(), [&](const auto& control) {
                return control->name() == name && control->index() == index;
            });
        if (found == controls_.end()) {
            break;
        }
        elements.push_back(&dynamic_cast<T&>(**found));
    }
    return ControlArray<T>(std::move(elements));
}

} // namespace jangora
