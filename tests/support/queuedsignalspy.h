#pragma once

#include <QList>
#include <QObject>
#include <QTest>
#include <QVariant>

#include <type_traits>

// A signal spy for signals that worker threads emit. QSignalSpy records in the emitting thread,
// so a test reading it races with the worker; this one records on its own (the test's) thread,
// through a queued connection, and the list is only ever touched there.
class QueuedSignalSpy : public QObject, public QList<QVariantList>
{
public:
    template<typename Sender, typename... Args>
    QueuedSignalSpy(const Sender *sender, void (Sender::*signal)(Args...))
    {
        connect(
            sender, signal, this,
            [this](Args... args) { append(QVariantList{QVariant::fromValue(std::decay_t<Args>(args))...}); },
            Qt::QueuedConnection);
    }

    // True when a signal was recorded within the timeout.
    bool wait(int timeout = 5000)
    {
        const qsizetype before = size();
        return QTest::qWaitFor([&] { return size() > before; }, timeout);
    }
};
