#include "sim/QuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace zorel8z::sim {

namespace {

int g_pipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop does the rest.
void onSignal(int signo) {
    const char c = char(signo);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &c, 1);
}

} // namespace

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [] {
        char c = 0;
        [[maybe_unused]] const ssize_t n = ::read(g_pipe[1], &c, 1);
        QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
}

QuitOnSignal::~QuitOnSignal() {
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    delete m_notifier;
    for (int& fd : g_pipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

} // namespace zorel8z::sim
