#pragma once

#include "runtime/qt/print_system.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace jangora {

enum class Waited { Answered, Silent, ProgramEnded };

template <class Reply> struct Asked {
    Waited waited = Waited::Answered;
    PrintWatch::Stage stage = PrintWatch::Stage::Asking; // how far a print got
    Reply reply;
};

// Puts a question to the print system on a thread of its own, and waits for the answer while
// the window goes on repainting, its pointer showing that something is under way: as long as
// the print system is heard from, and no longer than the program runs. The thread is then left
// to end on its own (a name lookup of a far server can hold it past any limit); it touches
// nothing of the window's once nobody waits for it.
template <class Reply> Asked<Reply> ask(std::function<Reply(PrintWatch&)> question) {
    struct Shared {
        PrintWatch watch;
        std::mutex mutex;
        std::optional<Reply> reply;
        QEventLoop* waiting = nullptr; // read and written on the window's thread only
    };
    enum { answered = 1000, silent }; // any other ending of the loop is the program's
    auto shared = std::make_shared<Shared>();
    QEventLoop waiting;
    shared->waiting = &waiting;
    try {
        std::thread([shared, question = std::move(question)] {
            Reply reply = question(shared->watch);
            const std::lock_guard lock(shared->mutex);
            if (!shared->watch.abandoned()) {
                shared->reply = std::move(reply);
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(),
                    [shared] {
                        if (shared->waiting) {
                            shared->waiting->exit(answered);
                        }
                    },
                    Qt::QueuedConnection);
            }
        }).detach();
    } catch (const std::system_error& error) { // no thread to ask on
        Asked<Reply> failed;
        failed.reply.kind = PrintReply::Kind::Failed;
        failed.reply.reason = error.what();
        return failed;
    }
    QTimer silence;
    silence.setSingleShot(true);
    const auto listen = [&] {
        const auto quiet = PrintWatch::Clock::now() - shared->watch.heard();
        if (quiet >= printSilenceLimit) {
            waiting.exit(silent);
        } else {
            silence.start(std::chrono::ceil<std::chrono::milliseconds>(printSilenceLimit - quiet));
        }
    };
    QObject::connect(&silence, &QTimer::timeout, listen);
    listen();
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    const int ending = waiting.exec();
    QGuiApplication::restoreOverrideCursor();
    const std::lock_guard lock(shared->mutex);
    const PrintWatch::Stage stage = shared->watch.abandon();
    shared->waiting = nullptr;
    if (shared->reply) { // an answer that came with the end of the wait is an answer
        return {Waited::Answered, stage, std::move(*shared->reply)};
    }
    return {ending == silent ? Waited::Silent : Waited::ProgramEnded, stage, {}};
}
} // namespace jangora
