#include "runtime/qt/form_window.h"

#include "runtime/form.h"
#include "runtime/qt/accessibility.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <cstdio>

namespace jangora {

namespace {

constexpr qreal twipsPerPixel = Form::twipsPerPixel;

QColor toQColor(Color rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

QFont toQFont(const FontDescription& description) {
    // Arial and MS Sans Serif as the system has them, else a metric-compatible sans-serif.
    QFont font;
    font.setFamilies({QString::fromUtf8(description.name.data(),
                                        static_cast<qsizetype>(description.name.size())),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(description.points * 96.0 / 72.0)));
    font.setWeight(static_cast<QFont::Weight>(description.weight));
    return font;
}

void paintImage(QPainter& painter, PictureCache& pictures, const Image& image) {
    if (!image.picture()) {
        return;
    }
    const QPixmap& pixmap = pictures.pixmap(*image.picture());
    const QRectF box = toPixels(image.bounds());
    if (image.stretch()) {
        painter.drawPixmap(box, pixmap, pixmap.rect());
    } else {
        painter.drawPixmap(box.topLeft(), pixmap);
    }
}

void paintLabel(QPainter& painter, const Label& label) {
    const QRectF box = toPixels(label.bounds());
    painter.fillRect(box, toQColor(label.backColor()));
    if (label.caption().empty()) {
        return;
    }
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setFont(toQFont(label.font()));
    painter.setPen(toQColor(label.foreColor()));
    const int alignment =
        Qt::AlignTop | Qt::TextWordWrap |
        (label.alignment() == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft);
    painter.drawText(box, alignment, QString::fromStdString(label.caption()));
    painter.restore();
}

// A dotted frame just inside the focused control's box.
void paintFocus(QPainter& painter, const Image& control) {
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(toPixels(control.bounds()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void paintLine(QPainter& painter, const Line& line) {
    painter.setPen(QPen(Qt::black, line.borderWidth(), Qt::SolidLine, Qt::SquareCap));
    painter.drawLine(QPointF(line.x1() / twipsPerPixel, line.y1() / twipsPerPixel),
                     QPointF(line.x2() / twipsPerPixel, line.y2() / twipsPerPixel));
}

// Qt numbers its buttons one bit each, left, right and middle first, as the form does.
MouseEvent toMouseEvent(const QMouseEvent& event, QPoint client) {
    const auto modifiers = event.modifiers();
    const auto shift = static_cast<std::int16_t>((modifiers & Qt::ShiftModifier ? 1 : 0) |
                                                 (modifiers & Qt::ControlModifier ? 2 : 0) |
                                                 (modifiers & Qt::AltModifier ? 4 : 0));
    const QPointF at = event.position() - client;
    return {static_cast<MouseButtons>(event.button()), shift,
            static_cast<float>(at.x() * twipsPerPixel), static_cast<float>(at.y() * twipsPerPixel)};
}

Qt::CursorShape cursorFor(TitleBar::Part part, Qt::Edges edges) {
    if (part != TitleBar::Part::Resize) {
        return Qt::ArrowCursor;
    }
    if (edges == (Qt::TopEdge | Qt::LeftEdge) || edges == (Qt::BottomEdge | Qt::RightEdge)) {
        return Qt::SizeFDiagCursor;
    }
    if (edges == (Qt::TopEdge | Qt::RightEdge) || edges == (Qt::BottomEdge | Qt::LeftEdge)) {
        return Qt::SizeBDiagCursor;
    }
    return edges & (Qt::LeftEdge | Qt::RightEdge) ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

// Space and Return act on the focused control, Tab and Shift+Tab move the focus.
std::optional<Form::Key> toKey(const QKeyEvent& event) {
    switch (event.key()) {
    case Qt::Key_Space:
        return Form::Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Form::Key::Return;
    case Qt::Key_Tab:
        return event.modifiers() & Qt::ShiftModifier ? Form::Key::BackTab : Form::Key::Tab;
    case Qt::Key_Backtab:
        return Form::Key::BackTab;
    default:
        return std::nullopt;
    }
}

} // namespace

QRectF toPixels(const Rect& twips) {
    return {twips.left / twipsPerPixel, twips.top / twipsPerPixel, twips.width / twipsPerPixel,
            twips.height / twipsPerPixel};
}

FormWindow::FormWindow(Form& form)
    : form_(form), framed_(QGuiApplication::platformName().startsWith(QLatin1String("wayland"))),
      client_(framed_ ? QPoint(TitleBar::margins.left(), TitleBar::margins.top()) : QPoint()) {
    const FormDescription& description = form.description();
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | (framed_ ? Qt::FramelessWindowHint : Qt::Widget));
    setMouseTracking(framed_); // the border's cursors
    setWindowTitle(QString::fromUtf8(description.caption.data(),
                                     static_cast<qsizetype>(description.caption.size())));
    if (form.icon()) {
        setWindowIcon(QIcon(QPixmap::fromImage(decodePicture(*form.icon()))));
    }
    const QSize client(static_cast<int>(description.clientWidth / twipsPerPixel),
                       static_cast<int>(description.clientHeight / twipsPerPixel));
    restingSize_ = framed_ ? client.grownBy(TitleBar::margins) : client;
    resize(restingSize_);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    form.setChangeListener([this](const Control& control, const Rect& area) {
        if (area.width > 0) {
            update(onScreen(area));
        }
        if (QAccessible::isActive()) {
            static_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(this))
                ->changed(control);
        }
    });
}

QRect FormWindow::clientArea() const {
    return framed_ ? rect().marginsRemoved(TitleBar::margins) : rect();
}

QRect FormWindow::onScreen(const Rect& twips) const {
    return toPixels(twips).translated(client_).toAlignedRect();
}

void FormWindow::prepareFonts() const {
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    for (const auto& control : form_.controls()) {
        if (const auto* label = dynamic_cast<const Label*>(control.get())) {
            paintLabel(painter, *label);
        }
    }
}

void FormWindow::startClock() {
    clock_.start();
    scheduleNextTick();
}

void FormWindow::scheduleNextTick() {
    const std::optional<Scheduler::Millis> next = form_.scheduler().nextDeadline();
    if (!next || form_.scheduler().paused() || form_.ended()) {
        clock_.clearAlarm();
        return;
    }
    clock_.setAlarm(*next);
}

void FormWindow::runDueTimers() {
    form_.scheduler().runDue(clock_.now());
    scheduleNextTick();
}

void FormWindow::afterEvent() {
    if (!form_.ended()) {
        scheduleNextTick();
    }
}

void FormWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    if (framed_) {
        TitleBar::paint(painter, *this);
        painter.setClipRect(clientArea(), Qt::IntersectClip);
        painter.translate(client_);
    }
    painter.fillRect(QRect(QPoint(), clientArea().size()), toQColor(form_.description().backColor));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Images and labels in creation order, then the lines, so the bars and the frame stay whole.
    for (const auto& control : form_.controls()) {
        if (!control->visible()) {
            continue;
        }
        if (const auto* image = dynamic_cast<const Image*>(control.get())) {
            paintImage(painter, pictures_, *image);
        } else if (const auto* label = dynamic_cast<const Label*>(control.get())) {
            paintLabel(painter, *label);
        }
    }
    for (const auto& control : form_.controls()) {
        if (const auto* line = dynamic_cast<const Line*>(control.get()); line && line->visible()) {
            paintLine(painter, *line);
        }
    }
    if (form_.showsFocus() && form_.focused()) {
        paintFocus(painter, *form_.focused());
    }
    if (unmaximizing_ && (windowState() & Qt::WindowMaximized)) {
        // After this frame has gone to the window system.
        QTimer::singleShot(0, this,
                           [this] { setWindowState(windowState() & ~Qt::WindowMaximized); });
    }
}

template <class Delivery> void FormWindow::deliver(const Delivery& delivery) {
    form_.scheduler().setNow(clock_.now());
    delivery();
    afterEvent();
}

// With every mouse event Qt says which buttons are down: a button the form holds that is not
// among them lost its release on the way.
void FormWindow::mousePressEvent(QMouseEvent* event) {
    if (titleBarTakes(*event)) {
        return;
    }
    const MouseEvent press = toMouseEvent(*event, client_);
    deliver([&] {
        form_.releaseLostButtons(event->buttons().toInt(), press.X, press.Y);
        form_.mouseDown(press);
    });
}

// A second press in quick succession is still a press of the lever.
void FormWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void FormWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (titleBarTakes(*event)) {
        return;
    }
    const MouseEvent release = toMouseEvent(*event, client_);
    deliver([&] {
        form_.releaseLostButtons(event->buttons().toInt() | release.Button, release.X, release.Y);
        form_.mouseUp(release);
    });
}

// Moves come while a button is held, and over a window that draws its own border.
void FormWindow::mouseMoveEvent(QMouseEvent* event) {
    if (titleBarTakes(*event)) {
        return;
    }
    const MouseEvent move = toMouseEvent(*event, client_);
    deliver([&] { form_.releaseLostButtons(event->buttons().toInt(), move.X, move.Y); });
}

// The first button to go down says where every button goes until all are up: to the form, or
// to the title bar, whose bar moves the window, its border resizes it, and its two buttons
// minimize and close it when clicked. A double click on it is a press like any other.
bool FormWindow::titleBarTakes(const QMouseEvent& event) {
    if (!framed_) {
        return false;
    }
    Qt::Edges edges;
    const TitleBar::Part part = TitleBar::partAt(size(), event.position().toPoint(), &edges);
    const bool firstDown = event.type() != QEvent::MouseButtonRelease &&
                           event.type() != QEvent::MouseMove && event.buttons() == event.button();
    if (firstDown) {
        pressed_ = part;
        if (part == TitleBar::Part::Move && event.button() == Qt::LeftButton) {
            windowHandle()->startSystemMove();
        } else if (part == TitleBar::Part::Resize && event.button() == Qt::LeftButton) {
            windowHandle()->startSystemResize(edges);
        }
    }
    if (event.buttons() == Qt::NoButton) {
        setCursor(cursorFor(part, edges));
    }
    const TitleBar::Part held = pressed_;
    if (event.type() == QEvent::MouseButtonRelease && event.buttons() == Qt::NoButton) {
        pressed_ = TitleBar::Part::Client;
        if (event.button() == Qt::LeftButton && part == held) {
            if (part == TitleBar::Part::Minimize) {
                showMinimized();
            } else if (part == TitleBar::Part::Close) {
                close();
            }
        }
    }
    return held != TitleBar::Part::Client ||
           (event.type() == QEvent::MouseMove && event.buttons() == Qt::NoButton &&
            part != TitleBar::Part::Client);
}

// Space, Return, Tab and Shift+Tab go to the form, their auto-repeats nowhere; other keys are
// not the window's.
void FormWindow::keyEvent(QKeyEvent& event) {
    const std::optional<Form::Key> key = toKey(event);
    if (!key) {
        event.ignore();
    } else if (!event.isAutoRepeat()) {
        const bool down = event.type() == QEvent::KeyPress;
        deliver([&] { down ? form_.keyDown(*key) : form_.keyUp(*key); });
    }
}

// Tab and Shift+Tab move the focus among the form's controls, not among widgets.
bool FormWindow::focusNextPrevChild(bool /*next*/) {
    return false;
}

// Queued: a screen reader waits for the action's answer, and a box the action opens would keep
// it waiting until the box is closed.
void FormWindow::activate(const Image& control) {
    QTimer::singleShot(0, this,
                       [this, &control] { deliver([&] { form_.pressAndRelease(control); }); });
}

// The window is left only once no button holds the pointer in it, and an unmapped window gets
// no release: whatever the form still holds came up elsewhere.
void FormWindow::leaveEvent(QEvent* /*event*/) {
    releaseEveryButton();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto* window = static_cast<QWindow*>(watched);
    if (event->type() == QEvent::Expose && !window->isExposed()) {
        releaseEveryButton();
    } else if (event->type() == QEvent::WindowStateChange && unmaximizing_ &&
               !(window->windowStates() & Qt::WindowMaximized)) {
        unmaximizing_ = false;
        resize(restingSize_);
    }
    return false;
}

void FormWindow::showEvent(QShowEvent* /*event*/) {
    windowHandle()->installEventFilter(this); // Qt keeps one entry per filter
}

void FormWindow::releaseEveryButton() {
    const QPointF pointer = mapFromGlobal(QCursor::pos()) - client_;
    deliver([&] {
        form_.releaseLostButtons(0, static_cast<float>(pointer.x() * twipsPerPixel),
                                 static_cast<float>(pointer.y() * twipsPerPixel));
    });
}

// The window cannot be maximized: a window manager or compositor that does it anyway, whatever
// the window asks for, finds it undone at once, and the window back at its size before it.
// Some platforms resize before they say the window is maximized, and a compositor takes the
// undoing for nothing until a maximized frame has been drawn: the undoing waits for that
// frame, the size to go back to is the last one that stood until the next turn of the event
// loop, and it is restored once the platform says the window is no longer maximized.
void FormWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
        unmaximizing_ = true;
        sizeToKeep_.reset();
        update();
    }
    QWidget::changeEvent(event);
}

void FormWindow::resizeEvent(QResizeEvent* /*event*/) {
    if (unmaximizing_) {
        return;
    }
    sizeToKeep_ = size();
    QTimer::singleShot(0, this, [this] {
        if (sizeToKeep_) {
            restingSize_ = *sizeToKeep_;
            sizeToKeep_.reset();
        }
    });
}

// Closing the window ends the program, status 0, even with one of its boxes open.
void FormWindow::closeEvent(QCloseEvent* event) {
    form_.close();
    event->accept();
}

} // namespace jangora
