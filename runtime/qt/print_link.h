#pragma once

#include <cups/ipp.h>

#include <chrono>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>

namespace jangora {

struct Cups;

// Nothing heard from the print server for this long, in one wait for it, is silence.
inline constexpr auto printSilenceLimit = std::chrono::seconds(10);
// However slowly it comes, a whole answer comes within this, or the server is too slow to use.
inline constexpr auto printAnswerLimit = std::chrono::seconds(60);

struct IppDelete {
    void operator()(ipp_t* message) const;
};
using IppMessage = std::unique_ptr<ipp_t, IppDelete>;

// How one question to the print server went.
enum class Asked {
    Answered,  // `answer` holds the server's answer, which says the question was done
    NoServer,  // nobody listens where the print server should be
    Silent,    // nothing heard for the silence limit, or no whole answer in the answer limit
    Broken,    // the connection was reset or closed, or the answer was cut short
    Refused,   // the server would not: a client error, a password asked, a redirection
    Failed,    // the server failed: a server error, or an answer that is none
    Abandoned, // nobody waits for the answer any more
};

struct IppAnswer {
    Asked asked = Asked::Answered;
    IppMessage answer;
    int status = -1;   // the IPP status of the answer, where there is one
    std::string words; // what went wrong, in words a player understands
    bool sent = false; // the whole question, with its document, reached the connection
};

// One question to the print server (an IPP request, and a document after it), asked over a
// connection of its own, which the game writes and reads itself: every wait ends after the
// silence limit or once `stop` is asked, every answer is bounded in time and size, nothing is
// asked again or followed elsewhere, and no password is ever asked of anyone. `silent`, if
// given, is called once the silence limit is reached, and the wait then goes on to the answer
// limit: for an answer that must be read even late, to undo what it did.
[[nodiscard]] IppAnswer askPrintServer(const Cups& cups, IppMessage request,
                                       std::string_view resource, std::string_view document,
                                       std::stop_token stop,
                                       const std::function<void()>& silent = {});

} // namespace jangora
