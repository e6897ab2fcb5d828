#include "runtime/qt/box.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QKeyEvent>
#include <QWindow>

#include <map>
#include <set>

namespace jangora {

namespace {

// A box answers only keys pressed while it is shown: a key held since before it opened (the
// one whose spin spent the last quarter, say), its repeats and its release pass it by. Judged
// where the window system delivers them, at the box's window: a screen reader's bridge sends on
// copies of the keys it let through, which carry no time stamp.
class FreshKeysOnly : public QObject {
  public:
    explicit FreshKeysOnly(const QWidget& box) : box_(box) { qApp->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* key = dynamic_cast<const QKeyEvent*>(event);
        if (!key || !key->spontaneous() || watched != box_.windowHandle()) {
            return false;
        }
        if (key->type() == QEvent::KeyRelease) {
            lastRelease_[key->key()] = key->timestamp();
        } else if (const auto released = lastRelease_.find(key->key());
                   !key->isAutoRepeat() &&
                   (released == lastRelease_.end() || released->second != key->timestamp())) {
            fresh_.insert(key->key());
        }
        return !fresh_.contains(key->key());
    }

  private:
    const QWidget& box_;
    std::set<int> fresh_;
    // X11 repeats a held key as a release and a press of the same time, which Qt reports as
    // a repeat only when both have arrived together.
    std::map<int, quint64> lastRelease_;
};

} // namespace

int runBox(QDialog& box) {
    box.setWindowModality(Qt::NonModal);
    const FreshKeysOnly freshKeys(box);
    QEventLoop answered;
    QObject::connect(&box, &QDialog::finished, &answered, &QEventLoop::exit);
    box.show();
    // Without a window manager nothing else gives the box the keyboard, or gives it back.
    box.activateWindow();
    const int answer = answered.exec(); // the box's answer, or the program's end
    if (QWidget* window = box.parentWidget(); window && window->isVisible()) {
        window->activateWindow();
    }
    return answer;
}

} // namespace jangora
