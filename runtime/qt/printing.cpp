#include "runtime/qt/printing.h"

#include "runtime/qt/box.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace jangora {

namespace {

// The picture at its natural size (96 dots per inch), centred across the page near its top.
bool printPicture(QPrinter& printer, const QPixmap& picture) {
    printer.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    const qreal scale = printer.resolution() / 96.0;
    const QSizeF size = QSizeF(picture.size()) / picture.devicePixelRatio() * scale;
    const qreal left = std::max<qreal>(0, (page.width() - size.width()) / 2);
    const qreal top = std::min<qreal>(printer.resolution() / 2.0, page.height() / 10);
    painter.drawPixmap(QRectF(QPointF(left, top), size), picture, picture.rect());
    return painter.end();
}

void warn(QWidget& window, const QString& text) {
    QMessageBox box(QMessageBox::Warning, window.windowTitle(), text, QMessageBox::Ok, &window);
    runBox(box);
}

} // namespace

void printWindow(QWidget& window, const QRect& clientArea) {
    const QPixmap picture = window.grab(clientArea);
    const QString title = window.windowTitle();

    if (!QPrinterInfo::defaultPrinter().isNull()) {
        QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
        printer.setDocName(title);
        if (!printPicture(printer, picture)) {
            warn(window,
                 QObject::tr("The window could not be printed on %1.").arg(printer.printerName()));
        }
        return;
    }

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
    const QString file = saving.selectedFiles().constFirst();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setDocName(title);
    if (!printPicture(printer, picture)) {
        warn(window, QObject::tr("The PDF file %1 could not be written.").arg(file));
    }
}

} // namespace jangora
