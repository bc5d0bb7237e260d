#pragma once

#include <QEventLoop>

class QProgressDialog;

// The line and device locks the calling thread holds, counted so that the places that let
// events through can tell whether what runs there is safe. Work that events run and that waits
// for a line or a poller (a poller's stop and join, the window's close, a line's close) is
// deferred while this thread holds a line, until it holds none; nothing defers for a device's
// outcome lock. So events must never run while this thread holds an outcome lock outside a line:
// a join run there would wait for ever for a poller that waits for that lock.
//
// The passes the program makes itself (a status repaint, a wait, a progress step, a question)
// ask here first. Every pass of the GUI thread's event loops is checked too as it starts (a
// dialog's exec, a menu, a nested loop, a pass inside Qt): a loop cannot be skipped, so its
// fault is logged once while it lasts, and the loop runs.
class HeldLocks
{
public:
    // Each returns how many lines the calling thread holds now.
    static int lineTaken();
    static int lineReleased();
    static void outcomeTaken();
    static void outcomeReleased();

    // Whether events may be let through here. A lock that work run from events could wait for
    // for ever is the caller's fault: it is logged, and fatal where the environment sets
    // TENVARA_CHECK_LOCKS (the test suites), so that such a mistake fails a test instead of
    // hanging a person's window.
    static bool eventsMayRun(const char *where);
    // QCoreApplication::processEvents, for at most maxTimeMs when it is given, where events may
    // run; where they may not, nothing.
    static void processEvents(const char *where, QEventLoop::ProcessEventsFlags flags, int maxTimeMs = -1);
    // A step of a modal progress dialog, which lets events through as it takes its value; where
    // they may not run, the step is not shown.
    static void setProgress(QProgressDialog &progress, int value);
};
