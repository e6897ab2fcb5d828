#pragma once

#include <QAccessibleInterface>

namespace jangora {

// An object of the window that assistive technology sees, though Qt has no widget for it, and
// that holds no objects of its own: a control of the form, the status bar's voice.
class AccessibleLeaf : public QAccessibleInterface {
  public:
    [[nodiscard]] bool isValid() const override { return true; }
    [[nodiscard]] QObject* object() const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface* child(int /*index*/) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* /*child*/) const override {
        return -1;
    }
    [[nodiscard]] QAccessibleInterface* childAt(int /*x*/, int /*y*/) const override {
        return nullptr;
    }
    void setText(QAccessible::Text /*t*/, const QString& /*text*/) override {}
};

} // namespace jangora
