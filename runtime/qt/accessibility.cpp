#include "runtime/qt/accessibility.h"

#include "runtime/form.h"
#include "runtime/qt/accessible_leaf.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/qt_text.h"
#include "runtime/qt/status_notification.h"

#include <QDialog>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace jangora {

// One control as assistive technology sees it: a push button, a label or a graphic.
class ControlAccessible : public AccessibleLeaf, public QAccessibleActionInterface {
  public:
    ControlAccessible(FormWindow& window, const Control& control)
        : window_(window), control_(control) {}

    [[nodiscard]] const Control& control() const { return control_; }

    // Tells assistive technology of a new name or a shown, hidden, enabled or disabled
    // control: once for each change, none when nothing a reader can tell changed.
    void announceChanges() {
        if (const QString name = text(QAccessible::Name); name != announcedName_) {
            announcedName_ = name;
            QAccessibleEvent event(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        const QAccessible::State now = state();
        QAccessible::State changed;
        changed.invisible = now.invisible != announcedState_.invisible;
        changed.disabled = now.disabled != announcedState_.disabled;
        announcedState_ = now;
        if (changed.invisible || changed.disabled) {
            QAccessibleStateChangeEvent event(this, changed);
            QAccessible::updateAccessibility(&event);
        }
    }

    [[nodiscard]] QWindow* window() const override { return window_.windowHandle(); }
    [[nodiscard]] QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(&window_);
    }
    // The status bar's one child: what it says out loud.
    void setNotification(QAccessibleInterface* notification) { notification_ = notification; }
    [[nodiscard]] QAccessibleInterface* child(int index) const override {
        return index == 0 ? notification_ : nullptr;
    }
    [[nodiscard]] int childCount() const override { return notification_ ? 1 : 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child == notification_ ? 0 : -1;
    }

    [[nodiscard]] QString text(QAccessible::Text t) const override {
        const AccessibleDescription& accessible = control_.accessible();
        if (t == QAccessible::Description) {
            return toQString(accessible.description);
        }
        if (t != QAccessible::Name) {
            return {};
        }
        if (const auto* label = dynamic_cast<const Label*>(&control_)) {
            return toQString(label->caption());
        }
        const auto* image = dynamic_cast<const Image*>(&control_);
        if (!accessible.name.empty() || !image || !image->visible() || !image->picture()) {
            return toQString(accessible.name);
        }
        return toQString(image->picture()->shows);
    }

    [[nodiscard]] QRect rect() const override {
        const QRect box = window_.onScreen(control_.paintBounds());
        return {window_.mapToGlobal(box.topLeft()), box.size()};
    }

    [[nodiscard]] QAccessible::Role role() const override {
        switch (control_.accessible().role) {
        case AccessibleRole::PushButton:
            return QAccessible::Button;
        case AccessibleRole::Label:
            return QAccessible::StaticText;
        case AccessibleRole::StatusBar:
            return QAccessible::StatusBar;
        case AccessibleRole::Graphic:
        case AccessibleRole::None:
            break;
        }
        return QAccessible::Graphic;
    }

    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !control_.visible();
        state.offscreen = !control_.visible();
        state.disabled = !control_.enabled();
        state.focusable = control_.tabIndex() >= 0;
        state.focused =
            state.focusable && window_.hasFocus() && window_.form().input().focused() == &control_;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface && button()) {
            return static_cast<QAccessibleActionInterface*>(this);
        }
        return nullptr;
    }

    [[nodiscard]] QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (const Image* button = this->button(); button && action == pressAction()) {
            window_.activate(*button);
        }
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString& action) const override {
        return action == pressAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

  private:
    [[nodiscard]] const Image* button() const {
        return control_.accessible().role == AccessibleRole::PushButton
                   ? dynamic_cast<const Image*>(&control_)
                   : nullptr;
    }

    FormWindow& window_;
    const Control& control_;
    QAccessibleInterface* notification_ = nullptr;
    QString announcedName_ = text(QAccessible::Name);
    QAccessible::State announcedState_ = state();
};

FormAccessible::FormAccessible(FormWindow& window)
    : QAccessibleWidget(&window, QAccessible::Window), window_(window) {
    for (const auto& control : window.form().controls()) {
        if (control->accessible().role == AccessibleRole::None) {
            continue;
        }
        auto* accessible = new ControlAccessible(window, *control);
        QAccessible::registerAccessibleInterface(accessible);
        children_.push_back(accessible);
        byControl_.emplace(control.get(), accessible);
        if (control->accessible().role == AccessibleRole::StatusBar) {
            statusBar_ = control.get();
            notification_ = new StatusNotification(*accessible);
            QAccessible::registerAccessibleInterface(notification_);
            accessible->setNotification(notification_);
        } else if (control->accessible().statusItem) {
            statusItems_.push_back(control.get());
        }
    }
    // A change of the status and those that follow it within a moment (a prize reaches the
    // bankroll a millisecond after the result) are read out together, once.
    statusSettles_.setSingleShot(true);
    statusSettles_.setInterval(30);
    QObject::connect(&statusSettles_, &QTimer::timeout, [this] { sayStatus(); });
    // Reading order: top to bottom, then left to right.
    std::stable_sort(children_.begin(), children_.end(), [](auto* a, auto* b) {
        const Rect boxA = a->control().paintBounds();
        const Rect boxB = b->control().paintBounds();
        return std::pair(boxA.top, boxA.left) < std::pair(boxB.top, boxB.left);
    });
    focus_ = window.form().input().focused();
    window.setWatcher(
        {[this](const Control& control) { redisplay(control); }, [this] { windowFocused(); }});
}

FormAccessible::~FormAccessible() {
    if (notification_) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(notification_));
    }
    for (ControlAccessible* child : children_) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(child));
    }
}

QString FormAccessible::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? window_.windowTitle() : QAccessibleWidget::text(t);
}

QAccessibleInterface* FormAccessible::box() const {
    for (const QDialog* box : window_.findChildren<QDialog*>(Qt::FindDirectChildrenOnly)) {
        if (box->isVisible()) {
            return QAccessible::queryAccessibleInterface(const_cast<QDialog*>(box));
        }
    }
    return nullptr;
}

int FormAccessible::childCount() const {
    return static_cast<int>(children_.size()) + (box() ? 1 : 0);
}

QAccessibleInterface* FormAccessible::child(int index) const {
    const auto controls = static_cast<int>(children_.size());
    if (index == controls) {
        return box();
    }
    return index >= 0 && index < controls ? children_[static_cast<std::size_t>(index)] : nullptr;
}

int FormAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child == box()) {
        return static_cast<int>(children_.size());
    }
    const auto found = std::find(children_.begin(), children_.end(), child);
    return found == children_.end() ? -1 : static_cast<int>(found - children_.begin());
}

QAccessibleInterface* FormAccessible::childAt(int x, int y) const {
    if (QAccessibleInterface* over = box(); over && over->rect().contains(x, y)) {
        return over;
    }
    for (ControlAccessible* child : children_) {
        if (child->control().visible() && child->rect().contains(x, y)) {
            return child;
        }
    }
    return nullptr;
}

QAccessibleInterface* FormAccessible::focusChild() const {
    if (QAccessibleInterface* over = box()) {
        return over;
    }
    const auto found = byControl_.find(window_.form().input().focused());
    return found == byControl_.end() ? nullptr : found->second;
}

void FormAccessible::redisplay(const Control& control) {
    if (const auto found = byControl_.find(&control); found != byControl_.end()) {
        found->second->announceChanges();
    }
    if (notification_ && statusText() != statusSaid_ && !statusSettles_.isActive()) {
        statusSettles_.start();
    }
    if (window_.form().input().focused() != focus_) {
        sayFocus();
    }
}

void FormAccessible::windowFocused() {
    // After Qt has told of the window's own focus, which a screen reader would take last.
    QTimer::singleShot(0, &statusSettles_, [this] {
        sayFocus();
        if (notification_ && statusText() != statusSaid_) {
            sayStatus(); // what changed behind a box
        }
    });
}

void FormAccessible::sayFocus() {
    focus_ = window_.form().input().focused();
    if (QAccessibleInterface* focused = focusChild(); focused && window_.hasFocus()) {
        QAccessibleEvent focus(focused, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

// The status bar's caption, then its items'.
QString FormAccessible::statusText() const {
    QStringList parts;
    for (const Control* control : statusItems_) {
        parts << byControl_.at(control)->text(QAccessible::Name);
    }
    parts.prepend(byControl_.at(statusBar_)->text(QAccessible::Name));
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
}

void FormAccessible::sayStatus() {
    if (window_.form().boxOpen()) {
        return; // a box's words come first: the status follows once the window is back
    }
    statusSaid_ = statusText();
    notification_->say(statusSaid_);
}

void installFormAccessibility() {
    QAccessible::installFactory([](const QString& /*key*/, QObject* object) {
        auto* window = dynamic_cast<FormWindow*>(object);
        return window ? static_cast<QAccessibleInterface*>(new FormAccessible(*window)) : nullptr;
    });
}

} // namespace jangora
