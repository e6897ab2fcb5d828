#include "runtime/qt/printing.h"

#include "runtime/qt/box.h"
#include "runtime/qt/print_system.h"
#include "runtime/qt/qt_text.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace jangora {

namespace {

constexpr auto answerLimit = std::chrono::seconds(10);

enum class Waited { Answered, TooLong, ProgramEnded };

template <class Reply> struct Asked {
    Waited waited = Waited::Answered;
    Reply reply;
};

// Puts a question to the print system on a thread of its own, and waits for the answer while
// the window goes on repainting: no longer than the limit, nor than the program runs. The
// thread is then left to end on its own (a name lookup of a far server can hold it past any
// limit); it touches nothing of the window's once nobody waits for it.
template <class Reply> Asked<Reply> ask(std::function<Reply(const PrintDeadline&)> question) {
    struct Shared {
        std::mutex mutex;
        std::atomic<bool> abandoned = false;
        std::optional<Reply> reply;
        QEventLoop* waiting = nullptr; // read and written on the window's thread only
    };
    enum { answered = 1000, tooLong }; // any other ending of the loop is the program's
    auto shared = std::make_shared<Shared>();
    QEventLoop waiting;
    shared->waiting = &waiting;
    const PrintDeadline deadline{std::chrono::steady_clock::now() + answerLimit,
                                 &shared->abandoned};
    try {
        std::thread([shared, deadline, question = std::move(question)] {
            Reply reply = question(deadline);
            const std::lock_guard lock(shared->mutex);
            if (!shared->abandoned) {
                shared->reply = std::move(reply);
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [shared] {
                        if (shared->waiting) {
                            shared->waiting->exit(answered);
                        }
                    },
                    Qt::QueuedConnection);
            }
        }).detach();
    } catch (const std::system_error& error) { // no thread to ask on
        Asked<Reply> failed;
        failed.reply.kind = PrintReply::Kind::Failed;
        failed.reply.reason = error.what();
        return failed;
    }
    QTimer::singleShot(answerLimit, &waiting, [&waiting] { waiting.exit(tooLong); });
    const int ending = waiting.exec();
    const std::lock_guard lock(shared->mutex);
    shared->abandoned = true;
    shared->waiting = nullptr;
    if (ending == answered && shared->reply) {
        return {Waited::Answered, std::move(*shared->reply)};
    }
    return {ending == tooLong ? Waited::TooLong : Waited::ProgramEnded, {}};
}

void tell(QWidget& window, QMessageBox::Icon icon, const QString& about, const QString& text) {
    QMessageBox box(icon, QObject::tr("%1: %2").arg(window.windowTitle(), about), text,
                    QMessageBox::Ok, &window);
    runBox(box);
}

// Says what went wrong, if anything; true when the print system answered as asked. `printer` is
// empty while no printer has been chosen, and `sent` says whether the page may be on its way.
bool answered(QWidget& window, Waited waited, const PrintReply& reply, const QString& printer,
              bool sent = false) {
    if (waited == Waited::ProgramEnded) {
        return false;
    }
    const QString notPrinted = QObject::tr("not printed");
    if (waited == Waited::TooLong || reply.kind == PrintReply::Kind::NoAnswer) {
        tell(window, QMessageBox::Warning, notPrinted,
             sent ? QObject::tr("The print system did not answer within %1 seconds: the window "
                                "may not have been printed on %2.")
                        .arg(answerLimit.count())
                        .arg(printer)
                  : QObject::tr("The print system did not answer within %1 seconds: the window "
                                "was not printed.")
                        .arg(answerLimit.count()));
        return false;
    }
    if (reply.kind == PrintReply::Kind::Done) {
        return true;
    }
    const QString reason = reply.kind == PrintReply::Kind::NoPrintSystem
                               ? QObject::tr("the print system is not running.")
                               : toQString(reply.reason);
    tell(
        window, QMessageBox::Warning, notPrinted,
        printer.isEmpty()
            ? QObject::tr("The print system could not say which printers there are: %1").arg(reason)
            : QObject::tr("The window could not be printed on %1: %2").arg(printer, reason));
    return false;
}

// The paper a page goes on when the printer does not say, or no printer takes it.
QPageSize localPaper() {
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                                : QPageSize::A4);
}

// The picture at its natural size (96 dots per inch), centred across the page near its top.
bool writePage(QIODevice& file, const QImage& picture, const QPageSize& paper,
               const QString& title) {
    QPdfWriter pdf(&file);
    pdf.setTitle(title);
    pdf.setCreator(QCoreApplication::applicationName());
    pdf.setPageSize(paper);
    pdf.setPageMargins({});
    QPainter painter;
    if (!painter.begin(&pdf)) {
        return false;
    }
    const qreal scale = pdf.resolution() / 96.0;
    const QSizeF size = QSizeF(picture.size()) / picture.devicePixelRatio() * scale;
    const qreal left = std::max<qreal>(0, (pdf.width() - size.width()) / 2);
    const qreal top = std::min<qreal>(pdf.resolution() / 2.0, pdf.height() / 10.0);
    painter.drawImage(QRectF(QPointF(left, top), size), picture);
    return painter.end();
}

// With several printers and none the default, the player picks one; nothing if none.
std::optional<std::string> choosePrinter(QWidget& window, const std::vector<std::string>& names) {
    QStringList printers;
    for (const std::string& name : names) {
        printers << toQString(name);
    }
    QInputDialog chooser(&window);
    chooser.setWindowTitle(QObject::tr("%1: printer").arg(window.windowTitle()));
    chooser.setLabelText(QObject::tr("Print the window on which printer?"));
    chooser.setOption(QInputDialog::UseListViewForComboBoxItems);
    chooser.setComboBoxItems(printers);
    chooser.setTextValue(printers.front());
    if (runBox(chooser) != QDialog::Accepted) {
        return std::nullopt;
    }
    return chooser.textValue().toStdString();
}

// Without a printer, the player may keep the page as a PDF file instead.
void offerPdfFile(QWidget& window, const QImage& picture) {
    const QString title = window.windowTitle();
    QMessageBox offer(QMessageBox::Question, QObject::tr("%1: no printer").arg(title),
                      QObject::tr("No printer is available. Do you want to save the picture as a "
                                  "PDF file instead?"),
                      QMessageBox::Yes | QMessageBox::No, &window);
    offer.setDefaultButton(QMessageBox::Yes);
    if (runBox(offer) != QMessageBox::Yes) {
        return;
    }
    QFileDialog saving(&window, title, QStringLiteral("jangora.pdf"),
                       QObject::tr("PDF files (*.pdf)"));
    saving.setAcceptMode(QFileDialog::AcceptSave);
    if (runBox(saving) != QDialog::Accepted || saving.selectedFiles().isEmpty()) {
        return;
    }
    QFile file(saving.selectedFiles().constFirst());
    if (!file.open(QIODevice::WriteOnly) || !writePage(file, picture, localPaper(), title) ||
        !file.flush()) {
        tell(window, QMessageBox::Warning, QObject::tr("not saved"),
             QObject::tr("The PDF file %1 could not be written: %2")
                 .arg(file.fileName(), file.errorString()));
    }
}

// Where a desktop user expects the page: the system's default; else the only printer; else
// the one the player picks from the list, or none if the player declines.
std::optional<std::string> printerToUse(QWidget& window, const PrinterList& printers) {
    if (printers.byDefault) {
        return printers.byDefault;
    }
    if (printers.names.size() == 1) {
        return printers.names.front();
    }
    return choosePrinter(window, printers.names);
}

} // namespace

void printWindow(QWidget& window, const QRect& clientArea) {
    const QImage picture = window.grab(clientArea).toImage();
    const QString title = window.windowTitle();

    const auto [listed, printers] = ask<PrinterList>(listPrinters);
    if (listed == Waited::Answered && printers.kind == PrintReply::Kind::NoPrintSystem) {
        offerPdfFile(window, picture);
        return;
    }
    if (!answered(window, listed, printers, {})) {
        return;
    }
    if (!printers.byDefault && printers.names.empty()) {
        offerPdfFile(window, picture);
        return;
    }
    const std::optional<std::string> printer = printerToUse(window, printers);
    if (!printer) {
        return; // the player chose none
    }
    const QString name = toQString(*printer);

    const auto [measured, paper] =
        ask<Paper>([&](const PrintDeadline& deadline) { return defaultPaper(*printer, deadline); });
    if (!answered(window, measured, paper, name)) {
        return;
    }
    QByteArray pdf;
    QBuffer page(&pdf);
    page.open(QIODevice::WriteOnly);
    const QPageSize size = paper.width > 0 && paper.height > 0
                               ? QPageSize(QSizeF(paper.width, paper.height), QPageSize::Point, {},
                                           QPageSize::FuzzyMatch)
                               : localPaper();
    if (!writePage(page, picture, size, title)) {
        tell(window, QMessageBox::Warning, QObject::tr("not printed"),
             QObject::tr("The page for %1 could not be made.").arg(name));
        return;
    }

    const auto [sent, job] = ask<JobReply>(
        [printer = *printer, title = title.toStdString(), pdf = pdf.toStdString()](
            const PrintDeadline& deadline) { return printPdf(printer, title, pdf, deadline); });
    if (answered(window, sent, job, name, true) && job.waitsInPausedQueue) {
        tell(window, QMessageBox::Information, QObject::tr("printer paused"),
             QObject::tr("The window waits in the queue of %1, which is paused: it will be "
                         "printed once the printer is resumed.")
                 .arg(name));
    }
}

} // namespace jangora
