#include "core/terminationwatcher.h"

#include "core/debugqtstream.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The handler may only write to a descriptor; the notifier reads on the watcher's thread.
int s_pipe[2] = {-1, -1};
constexpr int watchedSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

void TerminationWatcher::catchSignals()
{
    if (s_pipe[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, s_pipe) != 0) {
        DEBUGQT_LOG_STATIC(1) << "*** termination signals not watched: no socket pair";
        return;
    }
    struct sigaction action = {};
    action.sa_handler = &TerminationWatcher::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : watchedSignals)
        ::sigaction(signalNumber, &action, nullptr);
}

TerminationWatcher::TerminationWatcher(QObject *parent)
    : QObject(parent)
{
    catchSignals();
    if (s_pipe[1] < 0)
        return;
    m_notifier = new QSocketNotifier(s_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationWatcher::readSignal);
}

TerminationWatcher::~TerminationWatcher()
{
    for (const int signalNumber : watchedSignals)
        ::signal(signalNumber, SIG_DFL);
    if (!m_notifier)
        return;
    delete m_notifier;
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

void TerminationWatcher::handleSignal(int signalNumber)
{
    const char number = char(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[0], &number, 1);
}

void TerminationWatcher::readSignal()
{
    char number = 0;
    if (::read(s_pipe[1], &number, 1) != 1)
        return;
    DEBUGQT_LOG(4) << "termination signal" << int(number);
    emit terminationRequested(int(number));
}
