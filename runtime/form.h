#pragma once

#include "runtime/control_array.h"
#include "runtime/controls.h"
#include "runtime/form_description.h"
#include "runtime/input_router.h"
#include "runtime/picture.h"
#include "runtime/runtime_error.h"
#include "runtime/scheduler.h"
#include "runtime/services.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jangora {

// A window and its controls, in creation order, with the one dispatch point through which
// every handler runs, and the runtime's operations as the handlers call them. It knows nothing
// of the screen: the host hands the input to its router and the clock to its scheduler, and
// paints what it holds.
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
    [[nodiscard]] Control& control(std::string_view name, std::int16_t index = -1) const;
    [[nodiscard]] Scheduler& scheduler() { return scheduler_; }
    [[nodiscard]] const Scheduler& scheduler() const { return scheduler_; }
    [[nodiscard]] InputRouter& input() { return input_; }
    [[nodiscard]] const InputRouter& input() const { return input_; }

    // Runs the load handler, once, before the window is shown.
    void load();
    // Runs one handler of an event, and tells the form's timers what it changed. Once the
    // program has ended nothing runs; whatever a handler lets escape (a run-time error, or any
    // other fault) is reported and ends the program with status 1.
    template <class Handler, class... Args> void dispatch(const Handler& handler, Args&&... args) {
        scheduler_.noteChange(run(variablesPart, handler, std::forward<Args>(args)...).changed);
    }
    // Runs a timer's handler, as dispatch does, and says what it read, wrote and changed;
    // of the form's variables it is taken to read the parts `variablesRead`.
    TickRecord tick(const std::function<void()>& handler, Parts variablesRead) {
        return run(variablesRead, handler);
    }

    // Whether input reaches the handlers: not while a box is open, and not once the program
    // has ended.
    [[nodiscard]] bool takesInput() const { return !ended_ && modalDepth_ == 0; }
    [[nodiscard]] bool boxOpen() const { return modalDepth_ > 0; }

    // Runs a box the host opens of itself (what a print has to tell): as behind a handler's
    // box, no timer ticks and no input reaches the handlers until it is answered.
    template <class Box> auto hostBox(const Box& box) { return modal(box); }

    // The player closed the window: the program ends, even with a box open; with status 0,
    // unless it was the report of a run-time error.
    void close() { end(reportingError_ ? 1 : 0); }
    [[nodiscard]] bool ended() const { return ended_; }
    [[nodiscard]] int exitStatus() const { return exitStatus_; }

    // The host shows a control again when it changes what the control shows: the control (for
    // a screen reader) and the twips of the client area to repaint, empty when there is none.
    using DisplayListener = std::function<void(const Control&, const Rect&)>;
    void setDisplayListener(DisplayListener listener) { displayListener_ = std::move(listener); }
    void redisplay(const Control& control, const Rect& area) const {
        if (displayListener_) {
            const TickRecord handlers = record_; // what the host reads is not the handler's
            displayListener_(control, area.width > 0 && area.height > 0 ? area : Rect{});
            record_ = handlers;
        }
    }

  protected:
    template <class T> [[nodiscard]] T& named(std::string_view name) const {
        return dynamic_cast<T&>(control(name));
    }
    template <class T> [[nodiscard]] ControlArray<T> array(std::string_view name) const;

    // The form-level variables of the window, compared after every handler: a change to one
    // of them is a change the form's timers must know of.
    template <class Variables> void watchVariables(const Variables& variables) {
        variablesChanged_ = changeOf(variables);
    }
    // One of them that a timer reads alone (Timer::readsOfTheVariablesOnly): its part,
    // changed whenever the variable differs after a handler from before it.
    template <class T> [[nodiscard]] Parts watchVariableReadAlone(const T& variable) {
        variablesReadAloneChanged_.push_back(changeOf(variable));
        return variablesReadAlonePart;
    }

    // The runtime's operations, as the handlers call them. Each but the currency text, which
    // only looks up, has an effect that counts as a change of anything at all. A print goes on
    // beside the game: the handler that asks for it does not wait for it.
    void randomize() {
        serviceUsed_ = true;
        services_.randomize();
    }
    [[nodiscard]] float rnd() {
        serviceUsed_ = true;
        return services_.rnd();
    }
    MsgBoxResult msgBox(std::string_view prompt, MsgBoxStyle style, std::string_view title = {});
    [[nodiscard]] std::string formatCurrency(float dollars) {
        return services_.formatCurrency(dollars);
    }
    void printForm() {
        serviceUsed_ = true;
        services_.printForm();
    }
    void end(int exitStatus = 0);

    std::function<void()> onLoad;

  private:
    friend class Control; // which records what the handlers read and write of it
    struct Ended {};      // thrown out of a box that the end of the program closed

    [[nodiscard]] Parts nextPart() { return Parts{1} << (nextPart_++ % 62); }
    // Whether the value differs from what it was when last asked.
    template <class T> static std::function<bool()> changeOf(const T& value) {
        return [&value, last = value]() mutable {
            if (value == last) {
                return false;
            }
            last = value;
            return true;
        };
    }
    template <class Handler, class... Args>
    TickRecord run(Parts variablesRead, const Handler& handler, Args&&... args);
    void fail(const RuntimeError& error);
    // Runs a box of the host; no timer ticks and no input is taken until it is answered.
    template <class Operation> auto modal(const Operation& operation);

    Services& services_;
    FormDescription description_;
    PictureSet pictures_;
    Picture icon_;
    std::vector<std::unique_ptr<Control>> controls_;
    Scheduler scheduler_;
    InputRouter input_{*this};
    DisplayListener displayListener_;
    std::function<bool()> variablesChanged_;
    std::vector<std::function<bool()>> variablesReadAloneChanged_;
    mutable TickRecord record_; // what the handler running has read, written and changed
    bool serviceUsed_ = false;  // by the handler running: a change of anything at all
    unsigned nextPart_ = 0;
    int modalDepth_ = 0; // boxes open
    bool ended_ = false;
    bool reportingError_ = false;
    int exitStatus_ = 0;
};

template <class Handler, class... Args>
TickRecord Form::run(Parts variablesRead, const Handler& handler, Args&&... args) {
    const TickRecord outer = std::exchange(record_, {});
    const bool outerUsedService = std::exchange(serviceUsed_, false);
    if (!ended_) {
        try {
            handler(std::forward<Args>(args)...);
        } catch (const RuntimeError& error) {
            fail(error);
        } catch (const Ended&) {
            // The window was closed while the handler waited on a box: it goes no further.
        } catch (const std::exception& fault) {
            fail(RuntimeError(ErrorNumber::InternalError, fault.what()));
        } catch (...) {
            fail(RuntimeError(ErrorNumber::InternalError));
        }
        record_.read |= variablesRead;
        if (variablesChanged_ && variablesChanged_()) {
            record_.changed |= variablesPart;
        }
        for (const auto& changed : variablesReadAloneChanged_) {
            record_.changed |= changed() ? variablesReadAlonePart : 0;
        }
        if (serviceUsed_) {
            record_.changed = everyPart;
        }
        record_.written |= record_.changed;
    }
    serviceUsed_ = outerUsedService;
    TickRecord record = std::exchange(record_, outer);
    record_.read |= record.read;
    record_.written |= record.written;
    record_.changed |= record.changed;
    return record;
}

template <class Operation> auto Form::modal(const Operation& operation) {
    struct Open {
        Form& form;
        explicit Open(Form& f) : form(f) {
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
