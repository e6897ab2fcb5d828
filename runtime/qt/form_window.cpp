#include "runtime/qt/form_window.h"

#include "runtime/form.h"
#include "runtime/qt/qt_text.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <utility>

namespace jangora {

FormWindow::FormWindow(Form& form, bool drawsTitleBar) : form_(form), clock_(form.scheduler()) {
    const FormDescription& description = form.description();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint |
                   (drawsTitleBar ? Qt::FramelessWindowHint : Qt::Widget));
    if (drawsTitleBar) {
        titleBar_.emplace(*this);
    }
    const QSize client(description.clientWidth / Form::twipsPerPixel,
                       description.clientHeight / Form::twipsPerPixel);
    resize(titleBar_ ? client.grownBy(TitleBar::margins) : client);
    setWindowTitle(toQString(description.caption));
    if (form.icon()) {
        setWindowIcon(QIcon(QPixmap::fromImage(decodePicture(*form.icon()))));
    }
    if (!description.iconRenditions.empty()) {
        iconRenditions_ = QStringLiteral(":/assets/") + toQString(description.iconRenditions);
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    form.setDisplayListener([this](const Control& control, const Rect& area) {
        if (area.width > 0) {
            update(onScreen(area));
        }
        if (reachWatcher()) {
            watcher_.redisplayed(control);
        }
    });
}

// Told only while a screen reader listens, so that the game sleeps as it would without one.
// What it sees of the window is made at the first change, and watches from then on.
bool FormWindow::reachWatcher() {
    if (QAccessible::isActive() && !watcher_.redisplayed) {
        QAccessible::queryAccessibleInterface(this);
    }
    return QAccessible::isActive() && watcher_.redisplayed;
}

QRect FormWindow::clientArea() const {
    return titleBar_ ? rect().marginsRemoved(TitleBar::margins) : rect();
}

QRect FormWindow::onScreen(const Rect& twips) const {
    return toPixels(twips).translated(clientArea().topLeft()).toAlignedRect();
}

void FormWindow::paintEvent(QPaintEvent* event) {
    const QRect client = clientArea();
    QPainter painter(this);
    if (titleBar_) {
        painter.setClipRegion(event->region());
        titleBar_->paint(painter);
        painter.setClipping(false);
    }
    painter.translate(client.topLeft());
    painter_.paint(painter, event->region().intersected(client).translated(-client.topLeft()));
    maximizeUndo_.framePainted();
    if (!iconRenditions_.isEmpty()) {
        // Once the first frame is up: a task bar or a window switcher shows the icon larger
        // than its own 16 pixels, and decoding the renditions would hold the first frame up.
        QTimer::singleShot(0, this, [this, folder = std::exchange(iconRenditions_, {})] {
            QIcon icon = windowIcon();
            for (const QString& file : QDir(folder).entryList(QDir::Files)) {
                icon.addFile(folder + QLatin1Char('/') + file);
            }
            setWindowIcon(icon);
        });
    }
}

void FormWindow::mouse(const QMouseEvent& event) {
    if (!titleBar_ || !titleBar_->takes(event)) {
        input_.mouse(event);
    }
}

// Space, Return, Tab and Shift+Tab are the form's; other keys are not the window's.
void FormWindow::keyPressEvent(QKeyEvent* event) {
    if (!input_.key(*event)) {
        event->ignore();
    }
}

void FormWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!input_.key(*event)) {
        event->ignore();
    }
}

void FormWindow::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    input_.keyboardTaken();
    if (reachWatcher()) {
        watcher_.keyboardTaken();
    }
}

// The keyboard went elsewhere (another window, or a program that grabbed it): a key held in
// the window comes up there, unseen.
void FormWindow::focusOutEvent(QFocusEvent* event) {
    input_.keyboardLost();
    QWidget::focusOutEvent(event);
}

// Tab and Shift+Tab move the focus among the form's controls, not among widgets.
bool FormWindow::focusNextPrevChild(bool /*next*/) {
    return false;
}

// The window is left only once no button holds the pointer in it, and an unmapped window gets
// no release: whatever the form still holds came up elsewhere.
void FormWindow::leaveEvent(QEvent* /*event*/) {
    input_.pointerLost();
}

bool FormWindow::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Expose && !windowHandle()->isExposed()) {
        input_.pointerLost();
    }
    return false;
}

void FormWindow::showEvent(QShowEvent* /*event*/) {
    windowHandle()->installEventFilter(this); // Qt keeps one entry per filter
    connect(windowHandle(), &QWindow::screenChanged, this, &FormWindow::keepSizeOnNewScreen,
            Qt::UniqueConnection);
}

// X11 keeps a window's size in device pixels as it moves onto a monitor of another scale, where
// its size in logical pixels then shrinks or grows: at twice the scale only a quarter of the
// game would show. The window takes the size the game needs there, once Qt has resized it.
void FormWindow::keepSizeOnNewScreen() {
    QTimer::singleShot(0, this, [this, logical = size()] {
        if (size() != logical) {
            resize(logical);
        }
    });
}

// Closing the window ends the program, status 0, even with one of its boxes open.
void FormWindow::closeEvent(QCloseEvent* event) {
    form_.close();
    event->accept();
}

} // namespace jangora
