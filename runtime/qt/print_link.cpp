#include "runtime/qt/print_link.h"

#include "runtime/qt/libcups.h"
#include "runtime/qt/print_text.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

namespace jangora {

void IppDelete::operator()(ipp_t* message) const {
    if (const Cups* cups = libcups()) {
        cups->ippDelete(message);
    }
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto tick = std::chrono::milliseconds(250);
constexpr std::size_t headLimit = 64 * 1024;
constexpr std::size_t bodyLimit = 4 * 1024 * 1024;
constexpr std::size_t messageLimit = 200; // characters of the server's own words

// A question that went wrong: thrown inside this file, and answered as such.
struct Trouble {
    Asked asked;
    std::string words;
};

// The server's answer in words after "the print system", for an IPP status that says no.
std::string statusWords(int status) {
    switch (status) {
    case 0x0400:
        return "found the game's question malformed";
    case 0x0401:
    case 0x0403:
        return "does not allow it";
    case 0x0402:
        return "asks for a password, which the game does not give";
    case 0x0404:
        return "cannot do it";
    case 0x0406:
    case 0x0407:
        return "does not know that printer or job";
    case 0x040A:
        return "does not take PDF files";
    case 0x0500:
        return "failed with an error of its own";
    case 0x0501:
        return "does not support what the game asks";
    case 0x0502:
    case 0x0507:
        return "is not available now";
    case 0x0503:
        return "does not speak the game's version of IPP";
    case 0x0504:
        return "reports an error of the printer";
    case 0x0506:
        return "does not accept jobs for that printer now";
    default:
        char words[64];
        std::snprintf(words, sizeof words, "%s (IPP status 0x%04X)",
                      status < 0x0500 ? "refused" : "failed", static_cast<unsigned>(status));
        return words;
    }
}

std::string connectionWords(int error) {
    switch (error) {
    case ECONNRESET:
        return "reset the connection";
    case EPIPE:
        return "closed the connection before it answered";
    case EACCES:
    case EPERM:
        return "does not let the game connect to it";
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case EHOSTDOWN:
        return "cannot be reached";
    default:
        return "could not be reached (" + std::string(std::strerror(error)) + ")";
    }
}

// A connection to the print server, each of whose waits ends on silence, at the answer limit,
// or once nobody waits for the answer.
class Link {
  public:
    Link(std::stop_token stop, const std::function<void()>& silent)
        : stop_(std::move(stop)), silent_(silent) {}
    ~Link() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    [[nodiscard]] bool local() const { return local_; }

    // Connects where libcups says the print server is; returns the name it goes by there.
    std::string open(const Cups& cups) {
        const std::string server = cups.cupsServer();
        if (server.starts_with('/')) {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            if (server.size() >= sizeof address.sun_path) {
                throw Trouble{Asked::NoServer, "is not where the game can reach it"};
            }
            std::memcpy(address.sun_path, server.data(), server.size());
            local_ = true;
            attempt(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), sizeof address);
            return "localhost";
        }
        const std::string port = std::to_string(cups.ippPort());
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(server.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
            throw Trouble{Asked::NoServer, "is on a server whose name is not known"};
        }
        std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, &freeaddrinfo);
        int error = ECONNREFUSED;
        for (const addrinfo* address = found; address && fd_ < 0; address = address->ai_next) {
            try {
                attempt(address->ai_family, address->ai_addr, address->ai_addrlen);
            } catch (const Trouble& trouble) {
                if (trouble.asked != Asked::NoServer && trouble.asked != Asked::Broken) {
                    throw;
                }
                error = errno;
            }
        }
        if (fd_ < 0) {
            throw Trouble{error == ECONNREFUSED ? Asked::NoServer : Asked::Broken,
                          connectionWords(error)};
        }
        return server.find(':') != std::string::npos ? "[" + server + "]:" + port
                                                     : server + ":" + port;
    }

    void send(std::string_view bytes) {
        while (!bytes.empty()) {
            await(POLLOUT);
            const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent < 0 && errno != EAGAIN && errno != EINTR) {
                throw Trouble{Asked::Broken, connectionWords(errno)};
            }
            if (sent > 0) {
                heard_ = Clock::now(); // the server takes it in: it is there
                bytes.remove_prefix(static_cast<std::size_t>(sent));
            }
        }
    }

    // From now on the server owes the answer.
    void awaitAnswer() { heard_ = Clock::now(); }

    // Appends what the server sent next to `into`; false once it closed the connection.
    bool receive(std::string& into) {
        await(POLLIN);
        char buffer[16384];
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                return true;
            }
            throw Trouble{Asked::Broken, connectionWords(errno)};
        }
        heard_ = Clock::now();
        into.append(buffer, static_cast<std::size_t>(got));
        return got > 0;
    }

  private:
    void attempt(int family, const sockaddr* address, socklen_t size) {
        fd_ = socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd_ < 0) {
            throw Trouble{Asked::Failed, connectionWords(errno)};
        }
        if (connect(fd_, address, size) != 0) {
            if (errno != EINPROGRESS) {
                const int error = errno;
                ::close(std::exchange(fd_, -1));
                errno = error;
                throw Trouble{error == ENOENT || error == ECONNREFUSED ? Asked::NoServer
                                                                       : Asked::Broken,
                              error == ENOENT ? "is not running" : connectionWords(error)};
            }
            await(POLLOUT);
            int error = 0;
            socklen_t length = sizeof error;
            getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
            if (error != 0) {
                ::close(std::exchange(fd_, -1));
                errno = error;
                throw Trouble{error == ECONNREFUSED ? Asked::NoServer : Asked::Broken,
                              error == ECONNREFUSED ? "is not running" : connectionWords(error)};
            }
        }
    }

    void await(short events) {
        for (;;) {
            if (stop_.stop_requested()) {
                throw Trouble{Asked::Abandoned, {}};
            }
            const auto now = Clock::now();
            if (now >= answerBy_) {
                throw Trouble{Asked::Silent, "did not give its whole answer within " +
                                                 std::to_string(printAnswerLimit.count()) +
                                                 " seconds"};
            }
            if (now - heard_ >= printSilenceLimit && !toldSilent_) {
                if (!silent_) {
                    throw Trouble{Asked::Silent, "did not answer for " +
                                                     std::to_string(printSilenceLimit.count()) +
                                                     " seconds"};
                }
                toldSilent_ = true;
                silent_();
            }
            pollfd ready{fd_, events, 0};
            if (poll(&ready, 1, static_cast<int>(tick.count())) > 0) {
                return; // an error or a hang-up shows in what comes next
            }
        }
    }

    std::stop_token stop_;
    const std::function<void()>& silent_;
    int fd_ = -1;
    bool local_ = false;
    bool toldSilent_ = false;
    Clock::time_point heard_ = Clock::now();
    Clock::time_point answerBy_ = heard_ + printAnswerLimit;
};

// An HTTP answer: its status, the headers the game reads, and its body.
struct HttpAnswer {
    int status = 0;
    std::string reason;
    std::string authenticate;
    std::string body;
};

std::string headerValue(std::string_view head, std::string_view name) {
    for (std::size_t at = head.find("\r\n"); at != std::string_view::npos;) {
        const std::size_t end = head.find("\r\n", at + 2);
        const std::string_view line = head.substr(at + 2, end - at - 2);
        at = end;
        if (line.size() > name.size() && line[name.size()] == ':' &&
            std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            std::string_view value = line.substr(name.size() + 1);
            while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
                value.remove_prefix(1);
            }
            return std::string(value);
        }
    }
    return {};
}

// Reads more of the answer until `enough` says it has enough; what was read is in `data`.
template <class Enough> void readUntil(Link& link, std::string& data, const Enough& enough) {
    while (!enough()) {
        if (!link.receive(data)) {
            throw Trouble{Asked::Broken, data.empty()
                                             ? "closed the connection before it answered"
                                             : "closed the connection in the middle of its answer"};
        }
        if (data.size() > headLimit + bodyLimit) {
            throw Trouble{Asked::Failed, "answered at a length no print system needs"};
        }
    }
}

std::size_t number(std::string_view text, int base) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end == text.data() || value > bodyLimit) {
        throw Trouble{Asked::Failed, "answered with something other than a print system's answer"};
    }
    return value;
}

// Reads one answer: its status line and headers, then a body of the length given, in chunks,
// or up to the end of the connection. Interim answers (100 Continue) are passed over.
HttpAnswer readAnswer(Link& link) {
    std::string data;
    for (;;) {
        std::size_t headEnd = std::string::npos;
        readUntil(link, data, [&] {
            headEnd = data.find("\r\n\r\n");
            if (headEnd == std::string::npos && data.size() > headLimit) {
                throw Trouble{Asked::Failed,
                              "answered with something other than a print system's answer"};
            }
            return headEnd != std::string::npos;
        });
        const std::string head = data.substr(0, headEnd + 2);
        data.erase(0, headEnd + 4);
        HttpAnswer answer;
        const std::string_view status = std::string_view(head).substr(0, head.find("\r\n"));
        if (!status.starts_with("HTTP/1.") || status.size() < 12 || status[8] != ' ') {
            throw Trouble{Asked::Failed,
                          "answered with something other than a print system's answer"};
        }
        answer.status = static_cast<int>(number(status.substr(9, 3), 10));
        answer.reason = plainText(status.substr(std::min<std::size_t>(13, status.size())), 60);
        if (answer.status == 100) {
            continue;
        }
        answer.authenticate = headerValue(head, "WWW-Authenticate");
        if (headerValue(head, "Transfer-Encoding").find("chunked") != std::string::npos) {
            for (;;) {
                std::size_t lineEnd = std::string::npos;
                readUntil(link, data, [&] { return (lineEnd = data.find("\r\n")) != data.npos; });
                const std::size_t size = number(data.substr(0, data.find_first_of(";\r")), 16);
                readUntil(link, data, [&] { return data.size() >= lineEnd + 2 + size + 2; });
                answer.body.append(data, lineEnd + 2, size);
                data.erase(0, lineEnd + 2 + size + 2);
                if (answer.body.size() > bodyLimit) {
                    throw Trouble{Asked::Failed, "answered at a length no print system needs"};
                }
                if (size == 0) {
                    return answer;
                }
            }
        }
        if (const std::string length = headerValue(head, "Content-Length"); !length.empty()) {
            const std::size_t size = number(length, 10);
            readUntil(link, data, [&] { return data.size() >= size; });
            answer.body = data.substr(0, size);
            return answer;
        }
        while (link.receive(data)) { // to the end of the connection
            if (data.size() > bodyLimit) {
                throw Trouble{Asked::Failed, "answered at a length no print system needs"};
            }
        }
        answer.body = std::move(data);
        return answer;
    }
}

std::string ippBytes(const Cups& cups, ipp_t* request) {
    std::string bytes;
    const ipp_iocb_t write = [](void* into, ipp_uchar_t* data, size_t size) -> ssize_t {
        static_cast<std::string*>(into)->append(reinterpret_cast<const char*>(data), size);
        return static_cast<ssize_t>(size);
    };
    ipp_state_t state = IPP_STATE_IDLE;
    while (state != IPP_STATE_DATA && state != IPP_STATE_ERROR) {
        state = cups.ippWriteIO(&bytes, write, 1, nullptr, request);
    }
    return bytes;
}

IppMessage ippMessage(const Cups& cups, std::string_view bytes) {
    IppMessage message(cups.ippNew());
    const ipp_iocb_t read = [](void* from, ipp_uchar_t* data, size_t size) -> ssize_t {
        auto& rest = *static_cast<std::string_view*>(from);
        const std::size_t taken = std::min(size, rest.size());
        std::memcpy(data, rest.data(), taken);
        rest.remove_prefix(taken);
        return static_cast<ssize_t>(taken);
    };
    ipp_state_t state = IPP_STATE_IDLE;
    while (state != IPP_STATE_DATA) {
        state = cups.ippReadIO(&bytes, read, 1, nullptr, message.get());
        if (state == IPP_STATE_ERROR || (state != IPP_STATE_DATA && bytes.empty())) {
            throw Trouble{Asked::Failed,
                          "answered with something other than a print system's answer"};
        }
    }
    return message;
}

// What an HTTP status other than 200 says, after "the print system".
Trouble httpTrouble(const HttpAnswer& answer) {
    const std::string code = "HTTP " + std::to_string(answer.status) +
                             (answer.reason.empty() ? "" : " " + answer.reason);
    if (answer.status == 401) {
        return {Asked::Refused, "asks for a password, which the game does not give"};
    }
    if (answer.status == 426) {
        return {Asked::Refused, "asks for an encrypted connection, which the game does not make"};
    }
    if (answer.status >= 300 && answer.status < 400) {
        return {Asked::Refused, "sent the game elsewhere (" + code + "), where it does not go"};
    }
    return {answer.status >= 400 && answer.status < 500 ? Asked::Refused : Asked::Failed,
            "failed to answer (" + code + ")"};
}

} // namespace

IppAnswer askPrintServer(const Cups& cups, IppMessage request, std::string_view resource,
                         std::string_view document, std::stop_token stop,
                         const std::function<void()>& silent) {
    IppAnswer result;
    const std::string message = ippBytes(cups, request.get());
    try {
        std::string authorization;
        for (int attempt = 0;; ++attempt) {
            Link link(stop, silent);
            const std::string host = link.open(cups);
            const std::string head = "POST " + std::string(resource) +
                                     " HTTP/1.1\r\nHost: " + host +
                                     "\r\nContent-Type: application/ipp\r\nContent-Length: " +
                                     std::to_string(message.size() + document.size()) + "\r\n" +
                                     authorization + "Connection: close\r\n\r\n";
            link.send(head + message);
            link.send(document);
            result.sent = true;
            link.awaitAnswer();
            const HttpAnswer answer = readAnswer(link);
            // A server on this machine may ask who is asking, which its socket tells it.
            if (answer.status == 401 && attempt == 0 && link.local() &&
                answer.authenticate.find("PeerCred") != std::string::npos) {
                authorization = std::string("Authorization: PeerCred ") + cups.cupsUser() + "\r\n";
                result.sent = false;
                continue;
            }
            if (answer.status != 200) {
                throw httpTrouble(answer);
            }
            result.answer = ippMessage(cups, answer.body);
            break;
        }
    } catch (const Trouble& trouble) {
        result.asked = trouble.asked;
        result.words = trouble.words;
        return result;
    }
    result.status = cups.ippGetStatusCode(result.answer.get());
    if (result.status >= 0x0400) {
        result.asked = result.status < 0x0500 ? Asked::Refused : Asked::Failed;
        ipp_attribute_t* said =
            cups.ippFindAttribute(result.answer.get(), "status-message", IPP_TAG_TEXT);
        const char* text = said ? cups.ippGetString(said, 0, nullptr) : nullptr;
        std::string own = text ? plainText(text, messageLimit) : std::string();
        if (own.ends_with('.')) {
            own.pop_back(); // the sentence it goes into ends it
        }
        result.words = meaningful(own) ? "said “" + own + "”" : statusWords(result.status);
    }
    return result;
}

} // namespace jangora
