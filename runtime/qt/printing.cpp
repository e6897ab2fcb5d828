#include "runtime/qt/printing.h"

#include "runtime/qt/box.h"
#include "runtime/qt/print_question.h"
#include "runtime/qt/print_system.h"
#include "runtime/qt/qt_text.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPixmap>
#include <QStandardPaths>
#include <QWidget>

#include <optional>

namespace jangora {

namespace {

void tell(QWidget& window, QMessageBox::Icon icon, const QString& about, const QString& text) {
    QMessageBox box(icon, QObject::tr("%1: %2").arg(window.windowTitle(), about), text,
                    QMessageBox::Ok, &window);
    runBox(box);
}

// What the player is told of a print system that stopped answering: what is known of the page.
void tellSilence(QWidget& window, PrintWatch::Stage stage, const QString& printer) {
    const qint64 seconds = printSilenceLimit.count();
    switch (stage) {
    case PrintWatch::Stage::Asking:
    case PrintWatch::Stage::JobCreated:
        tell(window, QMessageBox::Warning, QObject::tr("not printed"),
             QObject::tr("The print system did not answer for %1 seconds: the window was not "
                         "printed.")
                 .arg(seconds));
        return;
    case PrintWatch::Stage::PageSent:
        tell(window, QMessageBox::Warning, QObject::tr("not confirmed"),
             QObject::tr("The window was sent to %1, but the print system did not confirm it "
                         "for %2 seconds: it may yet be printed.")
                 .arg(printer)
                 .arg(seconds));
        return;
    case PrintWatch::Stage::PageTaken:
        tell(window, QMessageBox::Information, QObject::tr("not confirmed"),
             QObject::tr("The print system took the window for %1, then did not answer for %2 "
                         "seconds: whether it is printed is not known.")
                 .arg(printer)
                 .arg(seconds));
        return;
    }
}

// Says what went wrong, if anything; true when the print system answered as asked. `printer` is
// empty while no printer has been chosen.
template <class Reply>
bool answered(QWidget& window, const Asked<Reply>& asked, const QString& printer) {
    if (asked.waited == Waited::ProgramEnded) {
        return false;
    }
    if (asked.waited == Waited::Silent) {
        tellSilence(window, asked.stage, printer);
        return false;
    }
    const PrintReply& reply = asked.reply;
    if (reply.kind == PrintReply::Kind::Done) {
        return true;
    }
    const QString reason = reply.kind == PrintReply::Kind::NoPrintSystem
                               ? QObject::tr("the print system is not running.")
                               : toQString(reply.reason);
    tell(
        window, QMessageBox::Warning, QObject::tr("not printed"),
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
    // In the player's documents folder (not wherever the game was started from), and a PDF
    // file by its name whether or not the player types ".pdf".
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    QFileDialog saving(&window, title, QDir(folder).filePath(QStringLiteral("jangora.pdf")),
                       QObject::tr("PDF files (*.pdf)"));
    saving.setAcceptMode(QFileDialog::AcceptSave);
    saving.setDefaultSuffix(QStringLiteral("pdf"));
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

    const Asked<PrinterList> listed = ask<PrinterList>(listPrinters);
    const PrinterList& printers = listed.reply;
    if (listed.waited == Waited::Answered && printers.kind == PrintReply::Kind::NoPrintSystem) {
        offerPdfFile(window, picture);
        return;
    }
    if (!answered(window, listed, {})) {
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

    const Asked<Paper> measured =
        ask<Paper>([&](PrintWatch& watch) { return defaultPaper(*printer, watch); });
    if (!answered(window, measured, name)) {
        return;
    }
    const Paper& paper = measured.reply;
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

    const Asked<JobReply> sent =
        ask<JobReply>([printer = *printer, title = title.toStdString(), pdf = pdf.toStdString()](
                          PrintWatch& watch) { return printPdf(printer, title, pdf, watch); });
    if (!answered(window, sent, name)) {
        return;
    }
    switch (sent.reply.queue) {
    case JobReply::Queue::Printed:
        return;
    case JobReply::Queue::Paused:
        tell(window, QMessageBox::Information, QObject::tr("printer paused"),
             QObject::tr("The window waits in the queue of %1, which is paused: it will be "
                         "printed once the printer is resumed.")
                 .arg(name));
        return;
    case JobReply::Queue::Waiting:
        tell(window, QMessageBox::Information, QObject::tr("not printed yet"),
             QObject::tr("The window waits in the queue of %1, which has not printed it within "
                         "%2 seconds. The printer says: %3")
                 .arg(name)
                 .arg(jobFollowLimit.count())
                 .arg(sent.reply.printerSays.empty() ? QObject::tr("nothing.")
                                                     : toQString(sent.reply.printerSays)));
        return;
    }
}

} // namespace jangora
