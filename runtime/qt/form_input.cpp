#include "runtime/qt/form_input.h"

#include "runtime/form.h"
#include "runtime/qt/form_clock.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace jangora {

namespace {

std::int16_t shiftOf(Qt::KeyboardModifiers modifiers) {
    return static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                                     (modifiers & Qt::ControlModifier ? 2 : 0) |
                                     (modifiers & Qt::AltModifier ? 4 : 0));
}

std::optional<InputRouter::Key> keyOf(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Space:
        return InputRouter::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return InputRouter::Key::Return;
    case Qt::Key_Tab:
        return event.modifiers() & Qt::ShiftModifier ? InputRouter::Key::BackTab
                                                     : InputRouter::Key::Tab;
    case Qt::Key_Backtab:
        return InputRouter::Key::BackTab;
    default:
        return std::nullopt;
    }
}

} // namespace

FormInput::FormInput(QWidget& window, Form& form, FormClock& clock,
                     std::function<QRect()> clientArea)
    : window_(window), form_(form), clock_(clock), clientArea_(std::move(clientArea)) {}

QPointF FormInput::inTwips(QPointF windowPoint) const {
    return (windowPoint - clientArea_().topLeft()) * Form::twipsPerPixel;
}

void FormInput::mouse(const QMouseEvent& event) {
    const QPointF at = inTwips(event.position());
    const MouseEvent mouse{static_cast<MouseButtons>(event.button()), shiftOf(event.modifiers()),
                           static_cast<float>(at.x()), static_cast<float>(at.y())};
    auto stillDown = static_cast<MouseButtons>(event.buttons().toInt());
    clock_.deliver([&] {
        InputRouter& input = form_.input();
        switch (event.type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: // a second press in quick succession is a press too
            input.releaseLostButtons(stillDown, mouse.X, mouse.Y);
            input.mouseDown(mouse);
            break;
        case QEvent::MouseButtonRelease:
            input.releaseLostButtons(stillDown | mouse.Button, mouse.X, mouse.Y);
            input.mouseUp(mouse);
            break;
        default: // a move
            input.releaseLostButtons(stillDown, mouse.X, mouse.Y);
        }
    });
}

bool FormInput::key(const QKeyEvent& event) {
    const std::optional<InputRouter::Key> key = keyOf(event);
    if (!key) {
        return false;
    }
    switch (heldKeys_.note(event)) {
    case HeldKeys::Stroke::Press:
        clock_.deliver([&] { form_.input().keyDown(*key); });
        break;
    case HeldKeys::Stroke::Release:
        clock_.deliver([&] { form_.input().keyUp(*key); });
        break;
    case HeldKeys::Stroke::Repeat:
        break;
    }
    return true;
}

void FormInput::keyboardLost() {
    clock_.deliver([&] { form_.input().releaseLostKey(); });
}

void FormInput::pointerLost() {
    const QPointF at = inTwips(window_.mapFromGlobal(QCursor::pos()));
    clock_.deliver([&] {
        form_.input().releaseLostButtons(0, static_cast<float>(at.x()), static_cast<float>(at.y()));
    });
}

void FormInput::activate(const Image& control) {
    QTimer::singleShot(0, &window_, [this, &control] {
        clock_.deliver([&] { form_.input().pressAndRelease(control); });
    });
}

} // namespace jangora
