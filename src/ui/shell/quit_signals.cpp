#include "ui/shell/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QVariant>
#include <csignal>

namespace petrel {

namespace {

// The one piece of global state in the program: a signal handler can reach nothing else. It
// is set once before the handlers are installed and only read by them.
int quitPipeWrite = -1;
constexpr const char* kNotifierName = "petrelQuitNotifier";
constexpr const char* kRequestedProperty = "requested";

void OnTerminationSignal(int) {
    const char byte = 1;
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(quitPipeWrite, &byte, 1);
}

}  // namespace

void QuitOnTerminationSignals() {
    int fds[2];
    if (quitPipeWrite >= 0 || ::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    quitPipeWrite = fds[1];
    auto* notifier =
        new QSocketNotifier(fds[0], QSocketNotifier::Read, QCoreApplication::instance());
    notifier->setObjectName(kNotifierName);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier, fd = fds[0]] {
        char bytes[16];
        while (::read(fd, bytes, sizeof bytes) > 0) {
        }
        notifier->setProperty(kRequestedProperty, true);
        // exit(), not quit(): a window that is busy with the radio must not be able to refuse;
        // the closing codes go out when the event loop has ended (aboutToQuit).
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    ::sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

bool TerminationRequested() {
    const auto* notifier = QCoreApplication::instance()->findChild<QSocketNotifier*>(kNotifierName);
    return notifier != nullptr && notifier->property(kRequestedProperty).toBool();
}

}  // namespace petrel
