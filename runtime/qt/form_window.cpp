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
    : form_(form),
      frame_(*this, QSize(static_cast<int>(form.description().clientWidth / twipsPerPixel),
                          static_cast<int>(form.description().clientHeight / twipsPerPixel))) {
    const FormDescription& description = form.description();
    setWindowTitle(QString::fromUtf8(description.caption.data(),
                                     static_cast<qsizetype>(description.caption.size())));
    if (form.icon()) {
        setWindowIcon(QIcon(QPixmap::fromImage(decodePicture(*form.icon()))));
    }
    if (!description.iconRenditions.empty()) {
        frame_.addIconRenditions(
            QStringLiteral(":/assets/") +
            QString::fromUtf8(description.iconRenditions.data(),
                              static_cast<qsizetype>(description.iconRenditions.size())));
    }
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    form.setChangeListener([this](const Control& control, const Rect& area) {
        if (area.width > 0) {
            update(onScreen(area));
        }
        if (FormAccessible* accessible = this->accessible()) {
            accessible->changed(control);
        }
    });
}

FormAccessible* FormWindow::accessible() {
    return QAccessible::isActive()
               ? dynamic_cast<FormAccessible*>(QAccessible::queryAccessibleInterface(this))
               : nullptr;
}

QRect FormWindow::clientArea() const {
    return frame_.clientArea();
}

QRect FormWindow::onScreen(const Rect& twips) const {
    return toPixels(twips).translated(clientArea().topLeft()).toAlignedRect();
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
    const QRect client = clientArea();
    QPainter painter(this);
    painter.setClipRegion(event->region().intersected(client));
    painter.translate(client.topLeft());
    painter.fillRect(QRect(QPoint(), client.size()), toQColor(form_.description().backColor));
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
}

template <class Delivery> void FormWindow::deliver(const Delivery& delivery) {
    form_.scheduler().setNow(clock_.now());
    delivery();
    afterEvent();
}

// With every mouse event Qt says which buttons are down: a button the form holds that is not
// among them lost its release on the way.
void FormWindow::mousePressEvent(QMouseEvent* event) {
    const MouseEvent press = toMouseEvent(*event, clientArea().topLeft());
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
    const MouseEvent release = toMouseEvent(*event, clientArea().topLeft());
    deliver([&] {
        form_.releaseLostButtons(event->buttons().toInt() | release.Button, release.X, release.Y);
        form_.mouseUp(release);
    });
}

// Moves come while a button is held, and over a window that draws its own border.
void FormWindow::mouseMoveEvent(QMouseEvent* event) {
    const MouseEvent move = toMouseEvent(*event, clientArea().topLeft());
    deliver([&] { form_.releaseLostButtons(event->buttons().toInt(), move.X, move.Y); });
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

void FormWindow::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (FormAccessible* accessible = this->accessible()) {
        accessible->windowFocused();
    }
}

// The keyboard went elsewhere (another window, or a program that grabbed it): a key held in
// the window comes up there, unseen.
void FormWindow::focusOutEvent(QFocusEvent* event) {
    deliver([&] { form_.releaseLostKey(); });
    QWidget::focusOutEvent(event);
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

bool FormWindow::eventFilter(QObject* /*watched*/, QEvent* event) {
    if (event->type() == QEvent::Expose && !windowHandle()->isExposed()) {
        releaseEveryButton();
    }
    return false;
}

void FormWindow::showEvent(QShowEvent* /*event*/) {
    windowHandle()->installEventFilter(this); // Qt keeps one entry per filter
}

void FormWindow::releaseEveryButton() {
    const QPointF pointer = mapFromGlobal(QCursor::pos()) - clientArea().topLeft();
    deliver([&] {
        form_.releaseLostButtons(0, static_cast<float>(pointer.x() * twipsPerPixel),
                                 static_cast<float>(pointer.y() * twipsPerPixel));
    });
}

// Closing the window ends the program, status 0, even with one of its boxes open.
void FormWindow::closeEvent(QCloseEvent* event) {
    form_.close();
    event->accept();
}

} // namespace jangora
