#include "runtime/qt/printing.h"

#include "runtime/form.h"
#include "runtime/qt/box.h"
#include "runtime/qt/form_window.h"
#include "runtime/qt/print_text.h"
#include "runtime/qt/qt_text.h"

#include <QBuffer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>

namespace jangora {

namespace {

constexpr std::size_t shownName = 40; // characters of a printer's name in a box

QString shown(const std::string& printer) {
    return toQString(plainText(printer, shownName));
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

// What went wrong, said in one sentence: what is known of the page, by how far it got.
QString troubleText(const PrintOutcome& outcome, const QString& printer) {
    const QString system = toQString(outcome.trouble.words);
    switch (outcome.stage) {
    case PrintStage::Asking:
        return printer.isEmpty()
                   ? QObject::tr("The print system %1: the window was not printed.").arg(system)
                   : QObject::tr("The window could not be printed on %1: the print system %2.")
                         .arg(printer, system);
    case PrintStage::PageSent:
        return QObject::tr("The window was sent to %1, but the print system %2: it may yet be "
                           "printed.")
            .arg(printer, system);
    case PrintStage::PageTaken:
        break;
    }
    return QObject::tr("The print system took the window for %1, then %2: whether it is printed "
                       "is not known.")
        .arg(printer, system);
}

// The player's documents folder (home if there is none), and a name there that no file has.
QString freshPdfName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QDir(folder).exists()) {
        folder = QDir::homePath();
    }
    QString name = QDir(folder).filePath(QStringLiteral("jangora.pdf"));
    for (int n = 2; QFile::exists(name); ++n) {
        name = QDir(folder).filePath(QStringLiteral("jangora-%1.pdf").arg(n));
    }
    return name;
}

} // namespace

class Printing::Run {
  public:
    Run(Printing& printing, QImage picture) : printing_(printing), picture_(std::move(picture)) {}

    void start() { ask<PrinterList>(listPrinters, &Run::listed); }

  private:
    template <class Reply>
    void ask(PrintQuestion<Reply> question, void (Run::*then)(const Reply&)) {
        printing_.questions_.ask<Reply>(std::move(question),
                                        [this, then](const Reply& reply) { (this->*then)(reply); });
    }
    [[nodiscard]] QString title() const { return printing_.window_.windowTitle(); }

    void listed(const PrinterList& list) {
        if (list.trouble.asked == Asked::NoServer ||
            (!list.trouble.any() && !list.byDefault && list.names.empty())) {
            return printing_.whenFree([this] { offerPdfFile(); });
        }
        if (list.trouble.any()) {
            return tellTrouble(PrintOutcome::stoppedBy(list.trouble));
        }
        if (list.byDefault || list.names.size() == 1) {
            return chosen(list.byDefault ? *list.byDefault : list.names.front());
        }
        printing_.whenFree([this, names = list.names] { choosePrinter(names); });
    }

    // With several printers and none the default, the player picks one, or none. The printers
    // are buttons: a list would be read to a screen reader by the toolkit's table, which some
    // of its questions bring down.
    void choosePrinter(const std::vector<std::string>& names) {
        QDialog chooser(&printing_.window_);
        chooser.setWindowTitle(QObject::tr("%1: printer").arg(title()));
        auto* layout = new QVBoxLayout(&chooser);
        layout->addWidget(new QLabel(QObject::tr("Print the window on which printer?")));
        auto* list = new QWidget;
        auto* buttons = new QVBoxLayout(list);
        for (std::size_t i = 0; i < names.size(); ++i) {
            auto* button = new QPushButton(shown(names[i]));
            QObject::connect(button, &QPushButton::clicked, &chooser,
                             [&chooser, i] { chooser.done(static_cast<int>(i) + 1); });
            button->setDefault(i == 0);
            buttons->addWidget(button);
        }
        auto* scrolled = new QScrollArea;
        scrolled->setWidget(list);
        scrolled->setWidgetResizable(true);
        scrolled->setFrameShape(QFrame::NoFrame);
        scrolled->setFocusPolicy(Qt::NoFocus); // the keyboard goes from printer to printer
        scrolled->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the names are elided
        scrolled->setMinimumSize(list->sizeHint().width(),
                                 std::min(list->sizeHint().height(), 300));
        layout->addWidget(scrolled);
        auto* none = new QPushButton(QObject::tr("Cancel"));
        QObject::connect(none, &QPushButton::clicked, &chooser, &QDialog::reject);
        layout->addWidget(none);
        const int answer = printing_.openBox(chooser);
        if (answer > 0 && !printing_.window_.form().ended()) {
            return chosen(names[static_cast<std::size_t>(answer) - 1]);
        }
        finish();
    }

    void chosen(std::string printer) {
        printer_ = std::move(printer);
        name_ = shown(printer_);
        ask<Paper>(
            [printer = printer_](std::stop_token stop, const Tell<Paper>& tell) {
                defaultPaper(printer, stop, tell);
            },
            &Run::measured);
    }

    void measured(const Paper& paper) {
        if (paper.trouble.any()) {
            return tellTrouble(PrintOutcome::stoppedBy(paper.trouble));
        }
        QByteArray pdf;
        QBuffer page(&pdf);
        page.open(QIODevice::WriteOnly);
        const QPageSize size = paper.width > 0
                                   ? QPageSize(QSizeF(paper.width, paper.height), QPageSize::Point,
                                               {}, QPageSize::FuzzyMatch)
                                   : localPaper();
        if (!writePage(page, picture_, size, title())) {
            return tell(QMessageBox::Warning, QObject::tr("not printed"),
                        QObject::tr("The page for %1 could not be made.").arg(name_));
        }
        ask<PrintOutcome>(
            [printer = printer_, title = title().toStdString(),
             pdf = pdf.toStdString()](std::stop_token stop, const Tell<PrintOutcome>& tell) {
                sendPdf(printer, title, pdf, stop, tell);
            },
            &Run::sent);
    }

    void sent(const PrintOutcome& outcome) {
        if (outcome.kind != PrintOutcome::Kind::Printed) {
            return tellTrouble(outcome);
        }
        printing_.pageTaken(*this);
        ask<PrintOutcome>(
            [printer = printer_, job = outcome.job](std::stop_token stop,
                                                    const Tell<PrintOutcome>& tell) {
                followJob(printer, job, stop, tell);
            },
            &Run::followed);
    }

    void followed(const PrintOutcome& outcome) {
        if (outcome.kind == PrintOutcome::Kind::Printed) {
            return finish();
        }
        tellTrouble(outcome);
    }

    void tellTrouble(const PrintOutcome& outcome) {
        const QString says =
            meaningful(outcome.printerSays)
                ? QObject::tr(" The printer says: %1").arg(toQString(outcome.printerSays))
                : QString();
        switch (outcome.kind) {
        case PrintOutcome::Kind::Printed:
        case PrintOutcome::Kind::Trouble:
            break;
        case PrintOutcome::Kind::Paused:
            return tell(QMessageBox::Information, QObject::tr("printer paused"),
                        QObject::tr("The window waits in the queue of %1, which is paused: it "
                                    "will be printed once the printer is resumed.")
                            .arg(name_));
        case PrintOutcome::Kind::Stuck:
            return tell(QMessageBox::Information, QObject::tr("not printed yet"),
                        QObject::tr("The window waits in the queue of %1, whose printer cannot "
                                    "print it now.%2")
                            .arg(name_, says));
        case PrintOutcome::Kind::Held:
            return tell(QMessageBox::Information, QObject::tr("held"),
                        QObject::tr("The window is held in the queue of %1: it will be printed "
                                    "once it is released.")
                            .arg(name_));
        case PrintOutcome::Kind::Cancelled:
            return tell(
                QMessageBox::Warning,
                outcome.aborted ? QObject::tr("given up") : QObject::tr("cancelled"),
                (outcome.aborted
                     ? QObject::tr("The print system gave up the print of the window on "
                                   "%1: %2")
                     : QObject::tr("The print of the window on %1 was cancelled on the "
                                   "print server: %2"))
                        .arg(name_, outcome.wasPrinting
                                        ? QObject::tr("part of it may be printed.")
                                        : QObject::tr("whether any of it was printed is not "
                                                      "known.")) +
                    says);
        case PrintOutcome::Kind::Vanished:
            return tell(QMessageBox::Information, QObject::tr("not confirmed"),
                        QObject::tr("The print system no longer knows of the window's print on "
                                    "%1: whether it was printed is not known.")
                            .arg(name_));
        }
        const bool printed = outcome.stage != PrintStage::Asking;
        tell(printed ? QMessageBox::Information : QMessageBox::Warning,
             printed ? QObject::tr("not confirmed") : QObject::tr("not printed"),
             troubleText(outcome, name_));
    }

    // Without a printer, the player may keep the page as a PDF file, saved in the documents
    // folder and said where: a file dialog would be read to a screen reader by the toolkit's
    // text and table views, which some of its questions hold up or bring down.
    void offerPdfFile() {
        QMessageBox offer(QMessageBox::Question, QObject::tr("%1: no printer").arg(title()),
                          QObject::tr("No printer is available. Do you want to save the picture "
                                      "as a PDF file in your documents folder instead?"),
                          QMessageBox::Yes | QMessageBox::No, &printing_.window_);
        offer.setDefaultButton(QMessageBox::Yes);
        if (printing_.openBox(offer) != QMessageBox::Yes || printing_.window_.form().ended()) {
            return finish();
        }
        QFile file(freshPdfName());
        if (!file.open(QIODevice::NewOnly) || !writePage(file, picture_, localPaper(), title()) ||
            !file.flush()) {
            return tell(QMessageBox::Warning, QObject::tr("not saved"),
                        QObject::tr("The picture could not be saved as %1: the file could not be "
                                    "written (%2).")
                            .arg(file.fileName(), file.errorString()));
        }
        tell(QMessageBox::Information, QObject::tr("saved"),
             QObject::tr("The picture is saved as the PDF file %1.").arg(file.fileName()));
    }

    void tell(QMessageBox::Icon icon, const QString& about, const QString& text) {
        printing_.whenFree([this, icon, about, text] {
            QMessageBox box(icon, QObject::tr("%1: %2").arg(title(), about), text, QMessageBox::Ok,
                            &printing_.window_);
            printing_.openBox(box);
            finish();
        });
    }

    void finish() { printing_.ended(*this); }

    Printing& printing_;
    QImage picture_;
    std::string printer_; // as the print system names it, to be sent back as it is
    QString name_;        // as the player is shown it
};

Printing::Printing(FormWindow& window) : window_(window) {
    boxesWait_.setInterval(100);
    QObject::connect(&boxesWait_, &QTimer::timeout, [this] { showWaitingBoxes(); });
}

Printing::~Printing() {
    if (busy_) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void Printing::print() {
    waiting_.push_back(window_.grab(window_.clientArea()).toImage());
    showBusy();
    startNext();
}

void Printing::startNext() {
    if (sending_ || waiting_.empty()) {
        return;
    }
    runs_.push_back(std::make_unique<Run>(*this, std::move(waiting_.front())));
    waiting_.pop_front();
    sending_ = runs_.back().get();
    runs_.back()->start();
}

void Printing::pageTaken(const Run& run) {
    if (sending_ == &run) {
        sending_ = nullptr;
        startNext();
    }
}

// The run's last step: it goes once the event that ended it is over.
void Printing::ended(const Run& run) {
    const auto found = std::find_if(runs_.begin(), runs_.end(),
                                    [&run](const auto& each) { return each.get() == &run; });
    if (found == runs_.end()) {
        return;
    }
    QTimer::singleShot(0, &boxesWait_, [this, done = std::shared_ptr<Run>(std::move(*found))] {});
    runs_.erase(found);
    if (sending_ == &run) {
        sending_ = nullptr;
    }
    startNext();
    showBusy();
}

// The busy pointer while a print is under way or waits its turn.
void Printing::showBusy() {
    const bool busy = !waiting_.empty() || !runs_.empty();
    if (busy && !busy_) {
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    } else if (!busy && busy_) {
        QGuiApplication::restoreOverrideCursor();
    }
    busy_ = busy;
}

void Printing::whenFree(std::function<void()> show) {
    boxes_.push_back(std::move(show));
    if (!boxesWait_.isActive()) {
        boxesWait_.start();
        QTimer::singleShot(0, &boxesWait_, [this] { showWaitingBoxes(); });
    }
}

// One after another; a box opened meanwhile (a handler's, or one of these) is waited for.
void Printing::showWaitingBoxes() {
    while (!boxes_.empty() && !window_.form().boxOpen()) {
        const std::function<void()> show = std::move(boxes_.front());
        boxes_.pop_front();
        if (!window_.form().ended()) {
            show();
        }
    }
    if (boxes_.empty()) {
        boxesWait_.stop();
    }
}

int Printing::openBox(QDialog& box) {
    const int answer = window_.form().hostBox([&box] { return runBox(box); });
    window_.clock().rearm();
    return answer;
}

} // namespace jangora
