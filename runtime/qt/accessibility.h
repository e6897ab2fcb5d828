#pragma once

#include <QAccessibleWidget>
#include <QTimer>

#include <map>
#include <vector>

namespace jangora {

class Control;
class ControlAccessible;
class StatusNotification;
class FormWindow;

// What assistive technology sees of a form's window: the window, named by its caption, an
// object for each control the window description presents to it, in reading order, and a box
// shown inside the window (BoxFrame), after them.
class FormAccessible : public QAccessibleWidget {
  public:
    explicit FormAccessible(FormWindow& window);
    ~FormAccessible() override;

    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Window; }
    [[nodiscard]] QString text(QAccessible::Text t) const override;
    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override;
    [[nodiscard]] QAccessibleInterface* focusChild() const override;

  private:
    // Tells assistive technology what changed of a control: its name, its state, the focus,
    // the status; each once, when it changes.
    void redisplay(const Control& control);
    // The window took the keyboard: the control with the focus is told as focused.
    void windowFocused();
    void sayFocus();
    // The box shown inside the window, if any.
    [[nodiscard]] QAccessibleInterface* box() const;
    [[nodiscard]] QString statusText() const;
    void sayStatus();

    FormWindow& window_;
    std::vector<ControlAccessible*> children_; // owned by Qt's cache once registered
    std::map<const Control*, ControlAccessible*> byControl_;
    const Control* focus_ = nullptr;
    const Control* statusBar_ = nullptr;
    std::vector<const Control*> statusItems_;
    StatusNotification* notification_ = nullptr; // the status bar's voice
    QTimer statusSettles_;
    QString statusSaid_;
};

// Installs the factory that gives a form's window its FormAccessible.
void installFormAccessibility();

} // namespace jangora
