#include "runtime/qt/qt_services.h"

#include "runtime/form.h"
#include "runtime/qt/box.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/qt_text.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace jangora {

QString formatDollars(float dollars, const QLocale& locale) {
    const QLocale layout =
        locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
    return layout.toCurrencyString(static_cast<double>(dollars), QStringLiteral("$"), 2);
}

void QtServices::setWindow(FormWindow* window) {
    printing_.reset();
    window_ = window;
    if (window) {
        printing_ = std::make_unique<Printing>(*window);
    }
}

QString QtServices::titleOr(std::string_view title) const {
    if (!title.empty()) {
        return toQString(title);
    }
    return window_ ? window_->windowTitle() : QCoreApplication::applicationName();
}

MsgBoxResult QtServices::msgBox(std::string_view prompt, MsgBoxStyle style,
                                std::string_view title) {
    QMessageBox box(QMessageBox::NoIcon, titleOr(title), toQString(prompt), QMessageBox::NoButton,
                    window_);
    if (style == MsgBoxStyle::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
    }
    const int answer = runBox(box);
    wakeTimersLater();
    switch (answer) {
    case QMessageBox::Yes:
        return MsgBoxResult::Yes;
    case QMessageBox::No:
        return MsgBoxResult::No;
    default:
        return style == MsgBoxStyle::YesNo ? MsgBoxResult::No : MsgBoxResult::Ok;
    }
}

std::string QtServices::formatCurrency(float dollars) {
    if (formattedDollars_ != dollars) {
        formatted_ = formatDollars(dollars, locale_).toStdString();
        formattedDollars_ = dollars;
    }
    return formatted_;
}

void QtServices::printForm() {
    if (printing_) {
        printing_->print();
    }
}

void QtServices::wakeTimersLater() {
    // The form holds its timers while a modal operation runs; they start again once the
    // handler that asked for it has returned.
    if (window_) {
        QTimer::singleShot(0, window_, [window = window_] { window->clock().rearm(); });
    }
}

void QtServices::endProgram(int exitStatus) {
    if (window_) {
        window_->hide();
    }
    QCoreApplication::exit(exitStatus);
}

void QtServices::reportError(const RuntimeError& error) {
    QMessageBox box(QMessageBox::Critical, titleOr({}), toQString(error.what()), QMessageBox::Ok,
                    window_);
    runBox(box);
}

} // namespace jangora
