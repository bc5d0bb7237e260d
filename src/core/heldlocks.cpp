#include "core/heldlocks.h"

#include "core/debugqtstream.h"

#include <QCoreApplication>
#include <QtGlobal>

namespace {

thread_local int t_lines = 0;
thread_local int t_outcomes = 0;

} // namespace

int HeldLocks::lineTaken() { return ++t_lines; }

int HeldLocks::lineReleased() { return --t_lines; }

void HeldLocks::outcomeTaken() { ++t_outcomes; }

void HeldLocks::outcomeReleased() { --t_outcomes; }

bool HeldLocks::eventsMayRun(const char *where)
{
    if (t_outcomes == 0 || t_lines > 0)
        return true;
    static const bool fatal = qEnvironmentVariableIsSet("TENVARA_CHECK_LOCKS");
    if (fatal)
        qFatal("events let through by %s while a device's outcome is held outside its line", where);
    DEBUGQT_LOG(1) << "*** events held back:" << where << "runs while a device's outcome is held outside its line";
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
