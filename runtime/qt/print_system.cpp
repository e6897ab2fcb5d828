#include "runtime/qt/print_system.h"

#include "runtime/qt/libcups.h"
#include "runtime/qt/print_text.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <thread>

namespace jangora {

namespace {

constexpr std::size_t mostPrinters = 50; // a list longer than any box can offer
constexpr std::size_t mostSaid = 200;    // characters of a printer's own words
constexpr auto followStep = std::chrono::seconds(1);
// Paper from 25 mm to 1.3 m a side, in hundredths of a millimetre: any printer's.
constexpr int leastPaper = 2'500;
constexpr int mostPaper = 130'000;

const std::string garbled = "answered with something other than a print system's answer";

PrintTrouble troubleOf(const IppAnswer& answer) {
    return {answer.asked, answer.words};
}

// A printer's name as a path of the server: each byte that is not plainly safe, escaped.
std::string printerPath(std::string_view printer) {
    std::string path = "/printers/";
    for (const char c : printer) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '.' || c == '_' || c == '~') {
            path += c;
        } else {
            constexpr char hex[] = "0123456789ABCDEF";
            path += {'%', hex[byte >> 4], hex[byte & 15]};
        }
    }
    return path;
}

// A question to the print server: about a printer, if one is named, from the user the game
// runs as, for the attributes named.
IppMessage question(const Cups& cups, ipp_op_t operation, std::string_view printer,
                    std::initializer_list<const char*> wanted = {}) {
    IppMessage request(cups.ippNewRequest(operation));
    if (!printer.empty()) {
        const std::string uri = "ipp://localhost" + printerPath(printer);
        cups.ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                          uri.c_str());
    }
    cups.ippAddString(request.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name",
                      nullptr, cups.cupsUser());
    if (wanted.size() > 0) {
        cups.ippAddStrings(request.get(), IPP_TAG_OPERATION, IPP_TAG_KEYWORD,
                           "requested-attributes", static_cast<int>(wanted.size()), nullptr,
                           wanted.begin());
    }
    return request;
}

void addJob(const Cups& cups, const IppMessage& request, int job) {
    cups.ippAddInteger(request.get(), IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
}

// An attribute of an answer as the game reads it: absent, or of the kind it must be. One of
// another kind makes the answer no answer.
ipp_attribute_t* find(const Cups& cups, ipp_t* answer, const char* name,
                      std::initializer_list<ipp_tag_t> kinds) {
    ipp_attribute_t* found = cups.ippFindAttribute(answer, name, IPP_TAG_ZERO);
    if (found && std::find(kinds.begin(), kinds.end(), cups.ippGetValueTag(found)) == kinds.end()) {
        throw PrintTrouble{Asked::Failed, garbled};
    }
    return found;
}

std::optional<int> integer(const Cups& cups, ipp_t* answer, const char* name) {
    ipp_attribute_t* found = find(cups, answer, name, {IPP_TAG_INTEGER, IPP_TAG_ENUM});
    return found ? std::optional(cups.ippGetInteger(found, 0)) : std::nullopt;
}

std::string text(const Cups& cups, ipp_t* answer, const char* name) {
    ipp_attribute_t* found = find(cups, answer, name, {IPP_TAG_TEXT, IPP_TAG_TEXTLANG});
    const char* value = found ? cups.ippGetString(found, 0, nullptr) : nullptr;
    return value ? plainText(value, mostSaid) : std::string();
}

// The printer named in the first line "Default NAME[/INSTANCE]" of an lpoptions file.
std::optional<std::string> defaultIn(const std::string& file) {
    std::ifstream options(file);
    for (std::string line; std::getline(options, line);) {
        if (line.starts_with("Default ") || line.starts_with("default ")) {
            const std::string named = line.substr(8, line.find_first_of(" /\t", 8) - 8);
            if (!named.empty()) {
                return named;
            }
        }
    }
    return std::nullopt;
}

// The default printer the user chose, as CUPS's own commands find it.
std::optional<std::string> usersDefault() {
    for (const char* variable : {"LPDEST", "PRINTER"}) {
        const std::string named = std::getenv(variable) ? std::getenv(variable) : "";
        if (!named.empty() && !(named == "lp" && variable[0] == 'P')) {
            return named.substr(0, named.find('/'));
        }
    }
    const char* home = std::getenv("HOME");
    const char* root = std::getenv("CUPS_SERVERROOT");
    if (auto mine = home ? defaultIn(std::string(home) + "/.cups/lpoptions") : std::nullopt) {
        return mine;
    }
    return defaultIn(std::string(root ? root : "/etc/cups") + "/lpoptions");
}

// Cancels a job left without its page; asked even once nobody waits for an answer.
void cancel(const Cups& cups, const std::string& printer, int job) {
    IppMessage request = question(cups, IPP_OP_CANCEL_JOB, printer);
    addJob(cups, request, job);
    (void)askPrintServer(cups, std::move(request), printerPath(printer), {}, {});
}

// Cancels a job if the server holds it without its page: whether it did.
bool cancelIfPageless(const Cups& cups, const std::string& printer, int job) {
    IppMessage request =
        question(cups, IPP_OP_GET_JOB_ATTRIBUTES, printer, {"number-of-documents"});
    addJob(cups, request, job);
    const IppAnswer answer = askPrintServer(cups, std::move(request), "/", {}, {});
    try {
        if (answer.asked != Asked::Answered ||
            integer(cups, answer.answer.get(), "number-of-documents").value_or(1) != 0) {
            return false;
        }
    } catch (const PrintTrouble&) {
        return false;
    }
    cancel(cups, printer, job);
    return true;
}

// A printer's queue as it stands: stopped; or its printer unable to print now, by the reasons
// it gives (errors, off line) or by the words CUPS's network backends give for a printer they
// cannot reach, since they give no reason for it.
std::optional<PrintOutcome::Kind> printerTrouble(const Cups& cups, ipp_t* printer) {
    if (integer(cups, printer, "printer-state") == IPP_PSTATE_STOPPED) {
        return PrintOutcome::Kind::Paused;
    }
    ipp_attribute_t* reasons = find(cups, printer, "printer-state-reasons", {IPP_TAG_KEYWORD});
    for (int i = 0; reasons && i < cups.ippGetCount(reasons); ++i) {
        const char* keyword = cups.ippGetString(reasons, i, nullptr);
        const std::string reason = keyword ? keyword : "";
        if (reason.ends_with("-error") || reason == "offline-report" || reason == "shutdown" ||
            reason == "timed-out") {
            return PrintOutcome::Kind::Stuck;
        }
    }
    const std::string says = text(cups, printer, "printer-state-message");
    for (const char* unreachable : {"The printer may not exist", "The printer is unreachable",
                                    "The printer is not responding", "Unable to locate printer"}) {
        if (says.starts_with(unreachable)) {
            return PrintOutcome::Kind::Stuck;
        }
    }
    return std::nullopt;
}

// libcups, or nothing, and the reply says that the print system is missing.
template <class Reply> const Cups* libcupsFor(Reply& reply) {
    const Cups* cups = libcups();
    if (!cups) {
        reply.trouble = {Asked::NoServer, "is not installed"};
    }
    return cups;
}

} // namespace

void listPrinters(std::stop_token stop, const Tell<PrinterList>& tell) {
    PrinterList list;
    const Cups* cups = libcupsFor(list);
    if (!cups) {
        return tell(list);
    }
    if ((list.byDefault = usersDefault())) {
        return tell(list);
    }
    const IppAnswer byDefault = askPrintServer(
        *cups, question(*cups, IPP_OP_CUPS_GET_DEFAULT, {}, {"printer-name"}), "/", {}, stop);
    ipp_attribute_t* name = byDefault.answer ? cups->ippFindAttribute(byDefault.answer.get(),
                                                                      "printer-name", IPP_TAG_NAME)
                                             : nullptr;
    if (byDefault.asked == Asked::Answered && name && cups->ippGetString(name, 0, nullptr)) {
        list.byDefault = cups->ippGetString(name, 0, nullptr);
        return tell(list);
    }
    if (byDefault.asked != Asked::Answered && byDefault.status != 0x0406) { // not: no default
        list.trouble = troubleOf(byDefault);
        return tell(list);
    }
    const IppAnswer every = askPrintServer(
        *cups, question(*cups, IPP_OP_CUPS_GET_PRINTERS, {}, {"printer-name"}), "/", {}, stop);
    if (every.asked != Asked::Answered && every.status != 0x0406) { // not: no printers
        list.trouble = troubleOf(every);
        return tell(list);
    }
    for (name = every.answer
                    ? cups->ippFindAttribute(every.answer.get(), "printer-name", IPP_TAG_NAME)
                    : nullptr;
         name && list.names.size() < mostPrinters;
         name = cups->ippFindNextAttribute(every.answer.get(), "printer-name", IPP_TAG_NAME)) {
        if (const char* named = cups->ippGetString(name, 0, nullptr); named && *named) {
            list.names.emplace_back(named);
        }
    }
    tell(list);
}

void defaultPaper(const std::string& printer, std::stop_token stop, const Tell<Paper>& tell) {
    Paper paper;
    const Cups* cups = libcupsFor(paper);
    if (!cups) {
        return tell(paper);
    }
    const IppAnswer answer = askPrintServer(*cups,
                                            question(*cups, IPP_OP_GET_PRINTER_ATTRIBUTES, printer,
                                                     {"media-col-default", "media-default"}),
                                            printerPath(printer), {}, stop);
    if (answer.asked != Asked::Answered) {
        paper.trouble = troubleOf(answer);
        return tell(paper);
    }
    int width = 0;
    int height = 0;
    ipp_attribute_t* collection =
        cups->ippFindAttribute(answer.answer.get(), "media-col-default", IPP_TAG_BEGIN_COLLECTION);
    ipp_t* media = collection ? cups->ippGetCollection(collection, 0) : nullptr;
    ipp_attribute_t* size =
        media ? cups->ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
    if (ipp_t* sides = size ? cups->ippGetCollection(size, 0) : nullptr) {
        ipp_attribute_t* x = cups->ippFindAttribute(sides, "x-dimension", IPP_TAG_INTEGER);
        ipp_attribute_t* y = cups->ippFindAttribute(sides, "y-dimension", IPP_TAG_INTEGER);
        width = x ? cups->ippGetInteger(x, 0) : 0;
        height = y ? cups->ippGetInteger(y, 0) : 0;
    } else if (ipp_attribute_t* named =
                   cups->ippFindAttribute(answer.answer.get(), "media-default", IPP_TAG_ZERO)) {
        const char* keyword = cups->ippGetString(named, 0, nullptr);
        if (const pwg_media_t* known = keyword ? cups->pwgMediaForPWG(keyword) : nullptr) {
            width = known->width;
            height = known->length;
        }
    }
    if (std::clamp(width, leastPaper, mostPaper) == width &&
        std::clamp(height, leastPaper, mostPaper) == height) {
        constexpr double pointsPerHundredthMillimetre = 72.0 / 2540.0;
        paper.width = width * pointsPerHundredthMillimetre;
        paper.height = height * pointsPerHundredthMillimetre;
    }
    tell(paper);
}

void sendPdf(const std::string& printer, const std::string& title, const std::string& pdf,
             std::stop_token stop, const Tell<PrintOutcome>& tell) {
    PrintOutcome outcome = PrintOutcome::stoppedBy({});
    const Cups* cups = libcupsFor(outcome);
    if (!cups) {
        return tell(outcome);
    }
    const std::string path = printerPath(printer);
    IppMessage create = question(*cups, IPP_OP_CREATE_JOB, printer);
    cups->ippAddString(create.get(), IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                       title.c_str());
    // A job created after the player was told that nothing was printed is cancelled once its
    // number comes.
    bool toldSilent = false;
    const IppAnswer created = askPrintServer(*cups, std::move(create), path, {}, stop, [&] {
        toldSilent = true;
        outcome.trouble = {Asked::Silent, "did not answer for " +
                                              std::to_string(printSilenceLimit.count()) +
                                              " seconds"};
        tell(outcome);
    });
    ipp_attribute_t* number =
        created.answer ? cups->ippFindAttribute(created.answer.get(), "job-id", IPP_TAG_INTEGER)
                       : nullptr;
    outcome.job = created.asked == Asked::Answered && number ? cups->ippGetInteger(number, 0) : 0;
    if (toldSilent) {
        if (outcome.job > 0) {
            cancel(*cups, printer, outcome.job);
        }
        return;
    }
    if (created.asked != Asked::Answered || outcome.job <= 0) {
        outcome.trouble = created.asked != Asked::Answered
                              ? troubleOf(created)
                              : PrintTrouble{Asked::Failed, "answered without a job number"};
        return tell(outcome);
    }

    IppMessage send = question(*cups, IPP_OP_SEND_DOCUMENT, printer);
    addJob(*cups, send, outcome.job);
    cups->ippAddString(send.get(), IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                       "application/pdf");
    cups->ippAddBoolean(send.get(), IPP_TAG_OPERATION, "last-document", 1);
    const IppAnswer sent = askPrintServer(*cups, std::move(send), path, pdf, stop);
    if (sent.asked == Asked::Abandoned) {
        return;
    }
    if (sent.asked == Asked::Answered) {
        outcome.kind = PrintOutcome::Kind::Printed;
        outcome.stage = PrintStage::PageTaken;
        return tell(outcome);
    }
    outcome.trouble = troubleOf(sent);
    // A page refused, or not all sent, was not taken; one sent without an answer may have been.
    const bool uncertain =
        sent.sent && (sent.asked == Asked::Silent || sent.asked == Asked::Broken ||
                      (sent.asked == Asked::Failed && sent.status < 0)); // no answer, but garble

    if (!uncertain) {
        cancel(*cups, printer, outcome.job);
    } else if (!cancelIfPageless(*cups, printer, outcome.job)) {
        outcome.stage = PrintStage::PageSent;
    }
    tell(outcome);
}

void followJob(const std::string& printer, int job, std::stop_token stop,
               const Tell<PrintOutcome>& tell) {
    PrintOutcome outcome;
    outcome.stage = PrintStage::PageTaken;
    outcome.job = job;
    const Cups* cups = libcups();
    const auto giveUp = std::chrono::steady_clock::now() + printFollowLimit;
    while (cups && !stop.stop_requested() && std::chrono::steady_clock::now() < giveUp) {
        IppMessage asked = question(*cups, IPP_OP_GET_JOB_ATTRIBUTES, printer,
                                    {"job-state", "job-printer-state-message"});
        addJob(*cups, asked, job);
        const IppAnswer state = askPrintServer(*cups, std::move(asked), "/", {}, stop);
        if (state.asked == Asked::Abandoned) {
            return;
        }
        if (state.asked != Asked::Answered) {
            outcome.kind =
                state.status == 0x0406 ? PrintOutcome::Kind::Vanished : PrintOutcome::Kind::Trouble;
            outcome.trouble = troubleOf(state);
            return tell(outcome);
        }
        const IppAnswer queue = askPrintServer(
            *cups,
            question(*cups, IPP_OP_GET_PRINTER_ATTRIBUTES, printer,
                     {"printer-state", "printer-state-reasons", "printer-state-message"}),
            printerPath(printer), {}, stop);
        if (queue.asked == Asked::Abandoned) {
            return;
        }
        try {
            const std::optional<int> jobState = integer(*cups, state.answer.get(), "job-state");
            outcome.printerSays = text(*cups, state.answer.get(), "job-printer-state-message");
            outcome.wasPrinting = outcome.wasPrinting || jobState == IPP_JSTATE_PROCESSING;
            switch (jobState.value_or(IPP_JSTATE_PENDING)) {
            case IPP_JSTATE_COMPLETED:
                return tell(outcome);
            case IPP_JSTATE_CANCELED:
            case IPP_JSTATE_ABORTED:
                outcome.kind = PrintOutcome::Kind::Cancelled;
                outcome.aborted = jobState == IPP_JSTATE_ABORTED;
                return tell(outcome);
            case IPP_JSTATE_HELD:
                outcome.kind = PrintOutcome::Kind::Held;
                return tell(outcome);
            default:
                break;
            }
            if (queue.asked != Asked::Answered) {
                outcome.kind = PrintOutcome::Kind::Trouble;
                outcome.trouble = troubleOf(queue);
                return tell(outcome);
            }
            if (const auto trouble = printerTrouble(*cups, queue.answer.get())) {
                outcome.kind = *trouble;
                const std::string says = text(*cups, queue.answer.get(), "printer-state-message");
                outcome.printerSays = meaningful(says) ? says : outcome.printerSays;
                return tell(outcome);
            }
        } catch (const PrintTrouble& trouble) {
            outcome.kind = PrintOutcome::Kind::Trouble;
            outcome.trouble = trouble;
            return tell(outcome);
        }
        for (auto slept = std::chrono::milliseconds(0);
             slept < followStep && !stop.stop_requested();
             slept += std::chrono::milliseconds(250)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
        }
    }
    if (!stop.stop_requested()) {
        tell(outcome); // printed, or still in its queue with nothing in its way
    }
}

} // namespace jangora
