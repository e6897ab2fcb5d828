#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace jangora {

// The print system (CUPS), asked through libcups, which is loaded the first time the player
// prints. A question may wait on a server that never answers, so the host asks it off the
// window's thread, and each question gives up at its deadline or as soon as nobody waits for
// the answer any more.

struct PrintDeadline {
    std::chrono::steady_clock::time_point at;
    const std::atomic<bool>* abandoned = nullptr; // set once nobody waits for the answer
};

struct PrintReply {
    enum class Kind {
        Done,
        NoPrintSystem, // nothing to ask: no libcups, or no server listening
        NoAnswer,      // the server took the question and did not answer by the deadline
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
    bool waitsInPausedQueue = false; // accepted by a printer that is paused
};

[[nodiscard]] PrinterList listPrinters(const PrintDeadline& deadline);
[[nodiscard]] Paper defaultPaper(const std::string& printer, const PrintDeadline& deadline);
// Sends a PDF file to the printer as a job named `title`.
[[nodiscard]] JobReply printPdf(const std::string& printer, const std::string& title,
                                const std::string& pdf, const PrintDeadline& deadline);

} // namespace jangora
