#include "termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <iterator>

#include <QSocketNotifier>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
int requestPipe[2] = {-1, -1};
struct sigaction formerActions[std::size(kSignals)];

void onSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already holds a request.
    [[maybe_unused]] const ssize_t written = ::write(requestPipe[1], &byte, 1);
    errno = savedErrno;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    // Without the pipe the signals keep their default: they end the program at once.
    if (::pipe2(requestPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        requestPipe[0] = requestPipe[1] = -1;
        return;
    }
    auto* notifier = new QSocketNotifier(requestPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(requestPipe[0], bytes, sizeof bytes) > 0) {
        }
        emit closeRequested();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], nullptr, &formerActions[i]);
        if (formerActions[i].sa_handler != SIG_IGN) {
            ::sigaction(kSignals[i], &action, nullptr);
        }
    }
}

TerminationSignals::~TerminationSignals() {
    if (requestPipe[0] < 0) {
        return;
    }
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &formerActions[i], nullptr);
    }
    ::close(requestPipe[0]);
    ::close(requestPipe[1]);
    requestPipe[0] = requestPipe[1] = -1;
}
