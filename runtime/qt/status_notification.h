#pragma once

#include "runtime/qt/accessible_leaf.h"

#include <QAccessible>

namespace jangora {

// What the status bar says out loud. Orca presents a status bar's notification by its text
// alone when it shows: it shows anew with the status bar's text and its items' each time they
// change.
class StatusNotification : public AccessibleLeaf {
  public:
    explicit StatusNotification(QAccessibleInterface& statusBar) : statusBar_(statusBar) {}

    void say(const QString& text) {
        if (shown_) {
            shown_ = false;
            QAccessibleEvent hidden(this, QAccessible::ObjectHide);
            QAccessible::updateAccessibility(&hidden);
        }
        text_ = text;
        shown_ = true;
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }

    [[nodiscard]] QWindow* window() const override { return statusBar_.window(); }
    [[nodiscard]] QAccessibleInterface* parent() const override { return &statusBar_; }
    [[nodiscard]] QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? text_ : QString();
    }
    [[nodiscard]] QRect rect() const override { return statusBar_.rect(); }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::Notification; }
    [[nodiscard]] QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !shown_;
        return state;
    }

  private:
    QAccessibleInterface& statusBar_;
    QString text_;
    bool shown_ = false;
};

} // namespace jangora
