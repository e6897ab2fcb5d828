#include "runtime/qt/print_system.h"

#include <cups/cups.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>

namespace jangora {

namespace {

// The functions of libcups the game uses.
#define JANGORA_CUPS_FUNCTIONS(F)                                                                  \
    F(cupsServer)                                                                                  \
    F(ippPort)                                                                                     \
    F(cupsEncryption)                                                                              \
    F(httpConnect2)                                                                                \
    F(httpSetTimeout)                                                                              \
    F(httpClose)                                                                                   \
    F(cupsLastError)                                                                               \
    F(cupsLastErrorString)                                                                         \
    F(cupsGetNamedDest)                                                                            \
    F(cupsGetDests2)                                                                               \
    F(cupsFreeDests)                                                                               \
    F(cupsGetOption)                                                                               \
    F(cupsCopyDestInfo)                                                                            \
    F(cupsFreeDestInfo)                                                                            \
    F(cupsGetDestMediaDefault)                                                                     \
    F(cupsCreateJob)                                                                               \
    F(cupsStartDocument)                                                                           \
    F(cupsWriteRequestData)                                                                        \
    F(cupsFinishDocument)

struct Cups {
#define JANGORA_DECLARE(name) decltype(&::name) name = nullptr;
    JANGORA_CUPS_FUNCTIONS(JANGORA_DECLARE)
#undef JANGORA_DECLARE
};

// Loaded once, on the first print: a game that never prints never maps libcups and the
// libraries it needs.
const Cups* cups() {
    static const std::optional<Cups> loaded = []() -> std::optional<Cups> {
        void* library = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            return std::nullopt;
        }
        Cups cups;
        bool complete = true;
#define JANGORA_RESOLVE(name)                                                                      \
    cups.name = reinterpret_cast<decltype(cups.name)>(dlsym(library, #name));                      \
    complete = complete && cups.name;
        JANGORA_CUPS_FUNCTIONS(JANGORA_RESOLVE)
#undef JANGORA_RESOLVE
        return complete ? std::optional(cups) : std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

// One connection to the print server, whose every wait ends at the deadline.
class Connection {
  public:
    Connection(const Cups& cups, const PrintDeadline& deadline) : cups_(cups), deadline_(deadline) {
        const int msec = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              deadline.at - std::chrono::steady_clock::now())
                                              .count());
        http_ = cups.httpConnect2(cups.cupsServer(), cups.ippPort(), nullptr, AF_UNSPEC,
                                  cups.cupsEncryption(), 1, std::max(msec, 0), nullptr);
        if (http_) {
            cups.httpSetTimeout(http_, 0.25, &Connection::keepWaiting, this);
        } else {
            late_ = std::chrono::steady_clock::now() >= deadline.at;
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

    // How the last request went, once it has returned.
    [[nodiscard]] PrintReply reply() const {
        if (late_) {
            return {PrintReply::Kind::NoAnswer, {}};
        }
        if (!http_) {
            return {PrintReply::Kind::NoPrintSystem, {}};
        }
        return {PrintReply::Kind::Failed, cups_.cupsLastErrorString()};
    }
    [[nodiscard]] bool late() const { return late_; }

  private:
    static int keepWaiting(http_t* /*http*/, void* self) {
        auto& connection = *static_cast<Connection*>(self);
        connection.late_ = std::chrono::steady_clock::now() >= connection.deadline_.at ||
                           connection.deadline_.abandoned->load();
        return connection.late_ ? 0 : 1;
    }

    const Cups& cups_;
    PrintDeadline deadline_;
    http_t* http_ = nullptr;
    bool late_ = false;
};

// A question put over a new connection: `ask` fills in the reply and says whether the server
// answered; a connection that broke or answered too late says what went wrong instead.
template <class Reply, class Question>
Reply askServer(const PrintDeadline& deadline, const Question& ask) {
    Reply reply;
    const Cups* library = cups();
    if (!library) {
        reply.kind = PrintReply::Kind::NoPrintSystem;
        return reply;
    }
    Connection connection(*library, deadline);
    if (connection.http()) {
        const bool answered = ask(*library, connection, reply);
        if (answered && !connection.late()) {
            return reply;
        }
    }
    static_cast<PrintReply&>(reply) = connection.reply();
    return reply;
}

} // namespace

PrinterList listPrinters(const PrintDeadline& deadline) {
    return askServer<PrinterList>(
        deadline, [](const Cups& cups, Connection& connection, PrinterList& list) {
            http_t* http = connection.http();
            if (cups_dest_t* byDefault = cups.cupsGetNamedDest(http, nullptr, nullptr)) {
                list.byDefault = byDefault->name;
                cups.cupsFreeDests(1, byDefault);
                return true;
            }
            if (connection.late()) {
                return false; // a server that did not say whether there is a default says no more
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

Paper defaultPaper(const std::string& printer, const PrintDeadline& deadline) {
    return askServer<Paper>(deadline, [&](const Cups& cups, Connection& connection, Paper& paper) {
        http_t* http = connection.http();
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
                  const PrintDeadline& deadline) {
    return askServer<JobReply>(deadline, [&](const Cups& cups, Connection& connection,
                                             JobReply& job) {
        http_t* http = connection.http();
        const char* name = printer.c_str();
        const int id = cups.cupsCreateJob(http, name, title.c_str(), 0, nullptr);
        const bool sent =
            id > 0 &&
            cups.cupsStartDocument(http, name, id, title.c_str(), CUPS_FORMAT_PDF, 1) ==
                HTTP_STATUS_CONTINUE &&
            cups.cupsWriteRequestData(http, pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE &&
            cups.cupsFinishDocument(http, name) <= IPP_STATUS_OK_EVENTS_COMPLETE;
        if (!sent) {
            return false;
        }
        // A paused printer takes the job into its queue, where it waits.
        if (cups_dest_t* destination = cups.cupsGetNamedDest(http, name, nullptr)) {
            const char* state =
                cups.cupsGetOption("printer-state", destination->num_options, destination->options);
            job.waitsInPausedQueue = state && std::atoi(state) == IPP_PSTATE_STOPPED;
            cups.cupsFreeDests(1, destination);
        }
        return true;
    });
}

} // namespace jangora
