#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace jangora {

// A print system not heard from for this long has stopped answering.
inline constexpr auto printSilenceLimit = std::chrono::seconds(10);
// How long a job the print system has taken is followed, to see whether its printer prints it.
inline constexpr auto jobFollowLimit = std::chrono::seconds(5);

// The print system (CUPS), asked through libcups, which is loaded the first time the player
// prints. A server may answer slowly, or stop answering: the host asks each question off the
// window's thread and waits as long as the server is heard from. A question tells its watch
// whenever it hears from the server, and how far a print has got; once the host gives up on
// it, the question ends at its next wait, and a job it created but did not send the page of is
// cancelled.
class PrintWatch {
  public:
    using Clock = std::chrono::steady_clock;
    enum class Stage {
        Asking,     // nothing sent that could be printed
        JobCreated, // a job waits for its page
        PageSent,   // the page went to the server, which has not confirmed it
        PageTaken,  // the server confirmed the job, with its page
    };

    [[nodiscard]] Clock::time_point heard() const { return Clock::time_point(heard_.load()); }
    void hear(Clock::time_point at = Clock::now());
    // Moves a print on to `next`, unless the host has given up on it: whether it may go on.
    [[nodiscard]] bool reach(Stage next);
    [[nodiscard]] bool abandoned() const;
    // Nobody waits for the answer any more: how far the print had got.
    Stage abandon();

  private:
    std::atomic<Clock::duration> heard_{Clock::now().time_since_epoch()};
    mutable std::mutex mutex_;
    bool abandoned_ = false;
    Stage stage_ = Stage::Asking;
};

struct PrintReply {
    enum class Kind {
        Done,
        NoPrintSystem, // nothing to ask: no libcups, or no server listening
        Failed,        // the print system said no, for `reason`
    };
    Kind kind = Kind::Done;
    std::string reason; // in the print system's own words
};

struct PrinterList : PrintReply {
    std::optional<std::string> byDefault; // the user's or the system's default printer
    std::vector<std::string> names;       // every printer, asked for only without a default
};

struct Paper : PrintReply {
    double width = 0; // points; 0 by 0 when the printer does not say
    double height = 0;
};

struct JobReply : PrintReply {
    // Where the page is once the print system has taken it.
    enum class Queue {
        Printed,
        Paused,  // in the queue of a paused printer
        Waiting, // in the queue of a printer that has not printed it within the time watched
    };
    Queue queue = Queue::Printed;
    std::string printerSays; // the printer's own words on a page that waits
};

[[nodiscard]] PrinterList listPrinters(PrintWatch& watch);
[[nodiscard]] Paper defaultPaper(const std::string& printer, PrintWatch& watch);
// Sends a PDF file to the printer as a job named `title`, then follows the job a few seconds.
[[nodiscard]] JobReply printPdf(const std::string& printer, const std::string& title,
                                const std::string& pdf, PrintWatch& watch);

} // namespace jangora
