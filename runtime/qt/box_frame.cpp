#include "runtime/qt/box_frame.h"

#include "runtime/qt/form_window.h"
#include "runtime/qt/title_bar.h"

#include <QDialog>
#include <QEvent>
#include <QPainter>
#include <QPushButton>

namespace jangora {

FormWindow* BoxFrame::holding(const QDialog& box) {
    auto* window = dynamic_cast<FormWindow*>(box.parentWidget());
    return window && window->drawsTitleBar() ? window : nullptr;
}

BoxFrame::BoxFrame(FormWindow& window, QDialog& box)
    : QWidget(&window), window_(window), box_(box) {
    // A sub-window keeps the keyboard's focus among its own widgets.
    box.setWindowFlags(Qt::SubWindow);
    box.setAutoFillBackground(true);
    box.setAccessibleName(box.windowTitle()); // as a screen reader would name its window
    window.installEventFilter(this);
    box.installEventFilter(this);
    place();
    show();
    box.show();
    box.raise();
    takeFocus();
}

// As a box of its own would take it: where the box chose, or on its first widget that takes the
// keyboard, or on its default button if that first one is a button too.
void BoxFrame::takeFocus() {
    if (QWidget* chosen = box_.focusWidget()) {
        chosen->setFocus(Qt::ActiveWindowFocusReason);
        return;
    }
    QWidget* first = &box_;
    while ((first = first->nextInFocusChain()) != &box_ &&
           !(box_.isAncestorOf(first) && (first->focusPolicy() & Qt::TabFocus) &&
             first->isVisibleTo(&box_) && first->isEnabled())) {
    }
    if (qobject_cast<QPushButton*>(first)) {
        for (QPushButton* button : box_.findChildren<QPushButton*>()) {
            first = button->isDefault() ? button : first;
        }
    }
    first->setFocus(Qt::ActiveWindowFocusReason);
}

BoxFrame::~BoxFrame() {
    window_.removeEventFilter(this);
    box_.removeEventFilter(this);
}

// Framed, over the middle of the window's client area and no larger than it: at the size the
// box fixed for itself once shown (a message box does), else at the size it would take as a
// window.
void BoxFrame::place() {
    const QRect client = window_.clientArea();
    const QSize wanted = box_.minimumSize() == box_.maximumSize()
                             ? box_.minimumSize()
                             : box_.sizeHint().expandedTo(box_.minimumSizeHint());
    QRect framed({}, wanted.grownBy(TitleBar::margins).boundedTo(client.size()));
    framed.moveCenter(client.center());
    const QRect inside = framed.marginsRemoved(TitleBar::margins);
    if (box_.geometry() != inside) {
        box_.setGeometry(inside);
    }
    setGeometry(framed);
}

bool BoxFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Resize) {
        place();
    } else if (watched == &box_ && event->type() == QEvent::Resize) {
        place(); // a message box fixes its size as it is shown
    }
    return false;
}

void BoxFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    TitleBar::paintFrame(painter, rect(), palette(), box_.windowTitle(), true);
    painter.setPen(palette().color(QPalette::Dark)); // the edge between the box and the game
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace jangora
