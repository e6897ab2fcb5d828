#pragma once

#include "runtime/qt/print_link.h"

#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace jangora {

// A print taken by the print system is followed until it is printed, or for this long.
inline constexpr auto printFollowLimit = std::chrono::minutes(10);

// What went wrong with a question to the print system, if anything: how (Asked::Answered if
// nothing did), and in words after "the print system" ("did not answer for 10 seconds").
struct PrintTrouble {
    Asked asked = Asked::Answered;
    std::string words;
    [[nodiscard]] bool any() const { return asked != Asked::Answered; }
};

struct PrinterList {
    PrintTrouble trouble;
    std::optional<std::string> byDefault; // the user's or the print server's default printer
    std::vector<std::string> names;       // every printer, asked for only without a default
};

struct Paper {
    PrintTrouble trouble;
    double width = 0; // points; 0 by 0 when the printer says none, or none any printer has
    double height = 0;
};

// How far a print got, which says what is known of the page.
enum class PrintStage {
    Asking,    // nothing is at the server that could be printed
    PageSent,  // the page went to the server, which has not said it took it
    PageTaken, // the server took the page, in a job of the printer's queue
};

// How a print ended, as far as the game follows it.
struct PrintOutcome {
    enum class Kind {
        Printed,   // or waits in its queue with nothing wrong, once followed long enough
        Trouble,   // a question went wrong, at `stage`
        Paused,    // waits in the queue of a stopped printer
        Stuck,     // waits in the queue of a printer that cannot print now
        Held,      // held in its queue
        Cancelled, // cancelled, or given up (aborted), on the print server
        Vanished,  // the print server no longer knows the job
    };
    Kind kind = Kind::Printed;
    PrintStage stage = PrintStage::Asking;
    PrintTrouble trouble;
    std::string printerSays;  // the printer's own words, shown plain
    bool wasPrinting = false; // the job was seen being printed
    bool aborted = false;     // given up by the print system, not cancelled
    int job = 0;              // the job's number at the server, once it has one

    // A print that went no further than a question that went wrong.
    [[nodiscard]] static PrintOutcome stoppedBy(PrintTrouble trouble) {
        PrintOutcome outcome;
        outcome.kind = Kind::Trouble;
        outcome.trouble = std::move(trouble);
        return outcome;
    }
};

// The questions a print puts to the print system (CUPS), each on the thread that asks it,
// ending soon once `stop` is asked. A question tells its answer once, through `tell`, and may
// go on after that to undo what the print server did unasked.
template <class Reply> using Tell = std::function<void(Reply)>;

// The user's default printer (LPDEST, PRINTER, lpoptions), else the server's; without either,
// every printer.
void listPrinters(std::stop_token stop, const Tell<PrinterList>& tell);
// The paper the printer takes by default.
void defaultPaper(const std::string& printer, std::stop_token stop, const Tell<Paper>& tell);
// Sends a PDF file to the printer as a job named `title`: tells once the server took it
// (PageTaken, Printed) or what went wrong. A job left without its page is cancelled.
void sendPdf(const std::string& printer, const std::string& title, const std::string& pdf,
             std::stop_token stop, const Tell<PrintOutcome>& tell);
// Follows a job the server took, until it is printed, or something stands in its way.
void followJob(const std::string& printer, int job, std::stop_token stop,
               const Tell<PrintOutcome>& tell);

} // namespace jangora
