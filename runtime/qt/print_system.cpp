#include "runtime/qt/print_system.h"

#include "runtime/qt/libcups.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <thread>

namespace jangora {

namespace {

constexpr auto followStep = std::chrono::milliseconds(250);

// One connection to the print server, whose every wait tells the watch when the server was
// last heard from, and ends once nobody waits for the answer. Without a watch, a wait ends
// after the silence limit.
class Connection {
  public:
    Connection(const Cups& cups, PrintWatch* watch) : cups_(cups), watch_(watch) {
        http_ = cups.httpConnect2(
            cups.cupsServer(), cups.ippPort(), nullptr, AF_UNSPEC, cups.cupsEncryption(), 1,
            static_cast<int>(std::chrono::milliseconds(printSilenceLimit).count()), nullptr);
        if (!http_) {
            return;
        }
        if (watch_) {
            watch_->hear();
            cups.httpSetTimeout(http_, 0.25, &Connection::keepWaiting, this);
        } else {
            cups.httpSetTimeout(http_, std::chrono::duration<double>(printSilenceLimit).count(),
                                nullptr, nullptr);
        }
    }
    ~Connection() {
        if (http_) {
            cups_.httpClose(http_);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    [[nodiscard]] http_t* http() const { return http_; }

  private:
    static int keepWaiting(http_t* http, void* self) {
        const auto& connection = *static_cast<Connection*>(self);
        const std::time_t silent = std::time(nullptr) - connection.cups_.httpGetActivity(http);
        connection.watch_->hear(PrintWatch::Clock::now() - std::chrono::seconds(silent));
        return connection.watch_->abandoned() ? 0 : 1;
    }

    const Cups& cups_;
    PrintWatch* watch_;
    http_t* http_ = nullptr;
};

// A question put over a new connection: `ask` fills in the reply and says whether the server
// answered as asked; otherwise the reply says what went wrong, in the print system's words.
template <class Reply, class Question> Reply askServer(PrintWatch& watch, const Question& ask) {
    Reply reply;
    const Cups* library = libcups();
    if (!library) {
        reply.kind = PrintReply::Kind::NoPrintSystem;
        return reply;
    }
    Connection connection(*library, &watch);
    if (!connection.http()) {
        reply.kind = PrintReply::Kind::NoPrintSystem;
        return reply;
    }
    if (!ask(*library, connection.http(), reply)) {
        reply.kind = PrintReply::Kind::Failed;
        reply.reason = library->cupsLastErrorString();
    }
    watch.hear();
    return reply;
}

// What the server says of a job, or nothing; the caller deletes it. The server knows its jobs
// by their number alone.
ipp_t* askJob(const Cups& cups, http_t* http, int id) {
    ipp_t* request = cups.ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(id);
    cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    return cups.cupsDoRequest(http, request, "/");
}

// A job the server holds without a page (it went missing on the way, or was never finished)
// is cancelled, asked over a connection of its own: the one it was created on may be stuck.
// Nobody waits for this.
void cancelIfPageless(const Cups& cups, const std::string& printer, int id) {
    const Connection connection(cups, nullptr);
    if (!connection.http()) {
        return;
    }
    ipp_t* answer = askJob(cups, connection.http(), id);
    if (!answer) {
        return;
    }
    ipp_attribute_t* pages = cups.ippFindAttribute(answer, "number-of-documents", IPP_TAG_INTEGER);
    const bool pageless = pages && cups.ippGetInteger(pages, 0) == 0;
    cups.ippDelete(answer);
    if (pageless) {
        cups.cupsCancelJob2(connection.http(), printer.c_str(), id, 0);
    }
}

// How a job the server has taken goes on, for a few seconds: printed, or waiting in the queue
// of a paused printer, or of one that has not printed it by then, in the printer's own words.
// False if the server failed to say.
bool followJob(const Cups& cups, http_t* http, const char* printer, int id, PrintWatch& watch,
               JobReply& job) {
    const auto giveUp = std::chrono::steady_clock::now() + jobFollowLimit;
    for (;;) {
        ipp_t* answer = askJob(cups, http, id);
        if (!answer) {
            return false;
        }
        watch.hear();
        ipp_attribute_t* state = cups.ippFindAttribute(answer, "job-state", IPP_TAG_ENUM);
        ipp_attribute_t* says =
            cups.ippFindAttribute(answer, "job-printer-state-message", IPP_TAG_TEXT);
        const int jobState = state ? cups.ippGetInteger(state, 0) : IPP_JSTATE_PENDING;
        job.printerSays = says ? cups.ippGetString(says, 0, nullptr) : "";
        cups.ippDelete(answer);
        if (jobState == IPP_JSTATE_COMPLETED) {
            job.queue = JobReply::Queue::Printed;
            return true;
        }
        if (jobState >= IPP_JSTATE_CANCELED) { // cancelled elsewhere, or aborted
            job.kind = PrintReply::Kind::Failed;
            job.reason =
                job.printerSays.empty() ? "the print system gave up on it." : job.printerSays;
            return true;
        }
        if (cups_dest_t* destination = cups.cupsGetNamedDest(http, printer, nullptr)) {
            const char* printerState =
                cups.cupsGetOption("printer-state", destination->num_options, destination->options);
            const bool paused = printerState && std::atoi(printerState) == IPP_PSTATE_STOPPED;
            cups.cupsFreeDests(1, destination);
            if (paused) {
                job.queue = JobReply::Queue::Paused;
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            job.queue = JobReply::Queue::Waiting;
            return true;
        }
        std::this_thread::sleep_for(followStep);
    }
}

} // namespace

void PrintWatch::hear(Clock::time_point at) {
    Clock::duration known = heard_.load();
    while (at.time_since_epoch() > known &&
           !heard_.compare_exchange_weak(known, at.time_since_epoch())) {
    }
}

bool PrintWatch::reach(Stage next) {
    const std::lock_guard lock(mutex_);
    if (!abandoned_) {
        stage_ = next;
    }
    return !abandoned_;
}

bool PrintWatch::abandoned() const {
    const std::lock_guard lock(mutex_);
    return abandoned_;
}

PrintWatch::Stage PrintWatch::abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    return stage_;
}

PrinterList listPrinters(PrintWatch& watch) {
    return askServer<PrinterList>(watch, [](const Cups& cups, http_t* http, PrinterList& list) {
        if (cups_dest_t* byDefault = cups.cupsGetNamedDest(http, nullptr, nullptr)) {
            list.byDefault = byDefault->name;
            cups.cupsFreeDests(1, byDefault);
            return true;
        }
        cups_dest_t* printers = nullptr;
        const int count = cups.cupsGetDests2(http, &printers);
        for (int i = 0; i < count; ++i) {
            if (!printers[i].instance) { // an instance is a user's set of options for a printer
                list.names.emplace_back(printers[i].name);
            }
        }
        cups.cupsFreeDests(count, printers);
        return true; // none is an answer too
    });
}

Paper defaultPaper(const std::string& printer, PrintWatch& watch) {
    return askServer<Paper>(watch, [&](const Cups& cups, http_t* http, Paper& paper) {
        cups_dest_t* destination = cups.cupsGetNamedDest(http, printer.c_str(), nullptr);
        if (!destination) {
            return false;
        }
        cups_dinfo_t* info = cups.cupsCopyDestInfo(http, destination);
        cups_size_t size{};
        if (info && cups.cupsGetDestMediaDefault(http, destination, info, 0, &size)) {
            constexpr double pointsPerHundredthMillimetre = 72.0 / 2540.0;
            paper.width = size.width * pointsPerHundredthMillimetre;
            paper.height = size.length * pointsPerHundredthMillimetre;
        }
        if (info) {
            cups.cupsFreeDestInfo(info);
        }
        cups.cupsFreeDests(1, destination);
        return true;
    });
}

JobReply printPdf(const std::string& printer, const std::string& title, const std::string& pdf,
                  PrintWatch& watch) {
    return askServer<JobReply>(watch, [&](const Cups& cups, http_t* http, JobReply& job) {
        const char* name = printer.c_str();
        const int id = cups.cupsCreateJob(http, name, title.c_str(), 0, nullptr);
        if (id <= 0) {
            return false;
        }
        // The page is sent once its document is finished; the server has it once it says so.
        const bool taken =
            watch.reach(PrintWatch::Stage::JobCreated) &&
            cups.cupsStartDocument(http, name, id, title.c_str(), CUPS_FORMAT_PDF, 1) ==
                HTTP_STATUS_CONTINUE &&
            cups.cupsWriteRequestData(http, pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE &&
            watch.reach(PrintWatch::Stage::PageSent) &&
            cups.cupsFinishDocument(http, name) <= IPP_STATUS_OK_EVENTS_COMPLETE &&
            watch.reach(PrintWatch::Stage::PageTaken);
        if (!taken) {
            cancelIfPageless(cups, printer, id);
            return false;
        }
        watch.hear();
        return followJob(cups, http, name, id, watch, job);
    });
}

} // namespace jangora
