#include "runtime/qt/box.h"

#include "runtime/qt/box_frame.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/held_keys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QWindow>

#include <optional>
#include <set>

namespace jangora {

namespace {

// A box answers only keys pressed while it is shown: a key held since before it opened (the
// one whose spin spent the last quarter, say), its repeats and its release pass it by. Judged
// where each key event reaches the box's window once: after a screen reader's bridge, which
// holds the window system's events back and sends on copies of those it lets through.
class FreshKeysOnly : public QObject {
  public:
    explicit FreshKeysOnly(const QWidget& box) : held_(*box.window()) {
        box.window()->windowHandle()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        const auto* key = dynamic_cast<const QKeyEvent*>(event);
        if (!key) {
            return false;
        }
        if (key->type() == QEvent::ShortcutOverride) { // asked before the press it comes with
            return held_.holds(*key) && !fresh_.contains(key->key());
        }
        if (held_.note(*key) == HeldKeys::Stroke::Press) {
            fresh_.insert(key->key());
        }
        return !fresh_.contains(key->key());
    }

  private:
    HeldKeys held_;
    std::set<int> fresh_;
};

// A screen reader's where-am-I reads the focused button and its description: that of each of a
// box's buttons is the box's question or message, which the button answers.
void describeButtons(QDialog& box) {
    QString message;
    if (const auto* messageBox = qobject_cast<QMessageBox*>(&box)) {
        message = messageBox->text();
    } else if (const QLabel* question = box.findChild<QLabel*>()) {
        message = question->text();
    }
    const QList<QAbstractButton*> buttons = box.findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->accessibleDescription().isEmpty()) {
            button->setAccessibleDescription(message);
        }
    }
    // Said with the buttons, the message is not said again as the box's own text.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text() == message && !label->buddy() && !buttons.isEmpty()) {
            label->setBuddy(buttons.front());
        }
    }
}

} // namespace

int runBox(QDialog& box) {
    describeButtons(box);
    box.setWindowModality(Qt::NonModal);
    QEventLoop answered;
    QObject::connect(&box, &QDialog::finished, &answered, &QEventLoop::exit);
    std::optional<BoxFrame> inWindow;
    if (FormWindow* window = BoxFrame::holding(box)) {
        inWindow.emplace(*window, box);
    } else {
        box.show();
    }
    const FreshKeysOnly freshKeys(box);
    // Without a window manager nothing else gives the box the keyboard, or gives it back.
    box.activateWindow();
    const int answer = answered.exec(); // the box's answer, or the program's end
    if (QWidget* window = box.parentWidget(); window && window->isVisible()) {
        window->activateWindow();
        window->setFocus(Qt::ActiveWindowFocusReason); // from a box inside it
    }
    return answer;
}

} // namespace jangora
