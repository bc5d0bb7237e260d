#pragma once

#include <QEvent>
#include <QObject>

// Counts the events of one type, or of every type for QEvent::None, that reach the objects it is
// installed on as an event filter.
struct EventCounter : QObject
{
    explicit EventCounter(QEvent::Type counted)
        : type(counted)
    {
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        count += type == QEvent::None || event->type() == type;
        return false;
    }

    QEvent::Type type;
    int count = 0;
};
