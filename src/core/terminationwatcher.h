#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the thread that made the watcher, so a
// session that ends or a Ctrl+C closes the main window as the user would, and the program ends
// through its event loop, its destructors and exit code 0. One watcher at a time; its
// destructor gives the signals back their default handling.
class TerminationWatcher : public QObject
{
    Q_OBJECT

public:
    // Catches the signals from now on, before the application object exists; a signal caught
    // before the watcher is made waits for it and arrives once the event loop runs.
    static void catchSignals();

    // Needs the application object; catches the signals if that was not done before.
    explicit TerminationWatcher(QObject *parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    static void handleSignal(int signalNumber);
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};
