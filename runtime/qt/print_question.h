#pragma once

#include "runtime/qt/print_system.h"

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <system_error>
#include <thread>

namespace jangora {

template <class Reply>
using PrintQuestion = std::function<void(std::stop_token, const Tell<Reply>&)>;

// Puts questions to the print system, each on a thread of its own, and hands each answer to
// the window's thread, where the game goes on meanwhile. Once this is gone (the game ended),
// every question is asked to stop and no answer is handed over; a thread is then left to end
// on its own, touching nothing of the window's.
class PrintQuestions {
  public:
    PrintQuestions() = default;
    ~PrintQuestions() {
        const std::lock_guard lock(shared_->mutex);
        shared_->closed = true;
        stop_.request_stop();
    }
    PrintQuestions(const PrintQuestions&) = delete;
    PrintQuestions& operator=(const PrintQuestions&) = delete;

    template <class Reply>
    void ask(PrintQuestion<Reply> question, std::function<void(Reply)> then) {
        const Tell<Reply> tell = [shared = shared_, then = std::move(then)](Reply reply) {
            const std::lock_guard lock(shared->mutex);
            if (shared->closed) {
                return;
            }
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [shared, then, reply = std::move(reply)] {
                    if (!shared->closed) { // closed on the window's thread, as this runs
                        then(reply);
                    }
                },
                Qt::QueuedConnection);
        };
        try {
            std::thread([question = std::move(question), tell, stop = stop_.get_token()] {
                question(stop, tell);
            }).detach();
        } catch (const std::system_error&) {
            Reply failed;
            failed.trouble = {Asked::Failed, "could not be asked: no thread was left to ask it"};
            if constexpr (requires { failed.kind = PrintOutcome::Kind::Trouble; }) {
                failed.kind = PrintOutcome::Kind::Trouble;
            }
            tell(failed);
        }
    }

  private:
    struct Shared {
        std::mutex mutex;
        bool closed = false;
    };
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
    std::stop_source stop_;
};

} // namespace jangora
