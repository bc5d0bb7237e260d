#include "core/heldlocks.h"

#include "core/debugqtstream.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QProgressDialog>
#include <QtGlobal>

#include <utility>

namespace {

thread_local int t_lines = 0;
thread_local int t_outcomes = 0;

bool eventsSafe() { return t_outcomes == 0 || t_lines > 0; }

// Checks each pass of the GUI thread's event loops as it starts. A loop passes at every event
// it waits for, so a fault is told once until a pass is safe again.
void checkEventLoops()
{
    QAbstractEventDispatcher *dispatcher = QCoreApplication::eventDispatcher();
    if (!dispatcher)
        return;
    const auto check = [] {
        static bool told = false;
        if (eventsSafe())
            told = false;
        else if (!std::exchange(told, true))
            HeldLocks::eventsMayRun("an event loop");
    };
    QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, check);
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, check);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(checkEventLoops)

int HeldLocks::lineTaken() { return ++t_lines; }

int HeldLocks::lineReleased() { return --t_lines; }

void HeldLocks::outcomeTaken() { ++t_outcomes; }

void HeldLocks::outcomeReleased() { --t_outcomes; }

bool HeldLocks::eventsMayRun(const char *where)
{
    if (eventsSafe())
        return true;
    if (qEnvironmentVariableIsSet("TENVARA_CHECK_LOCKS"))
        qFatal("events let through by %s while a device's outcome is held outside its line", where);
    DEBUGQT_LOG(1) << "*** a device's outcome is held outside its line where events run:" << where;
    return false;
}

void HeldLocks::processEvents(const char *where, QEventLoop::ProcessEventsFlags flags, int maxTimeMs)
{
    if (!eventsMayRun(where))
        return;
    if (maxTimeMs < 0)
        QCoreApplication::processEvents(flags);
    else
        QCoreApplication::processEvents(flags, maxTimeMs);
}

void HeldLocks::setProgress(QProgressDialog &progress, int value)
{
    if (eventsMayRun("a progress step"))
        progress.setValue(value);
}
