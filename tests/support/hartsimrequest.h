#pragma once

#include <QByteArray>
#include <QtGlobal>

// One request frame as the simulated slave saw it on the line, kept in the simulator's record.
struct HartSimRequest
{
    qint64 receivedAtMs = 0;  // on the simulator's clock, HartSimulator::elapsedMs()
    int preambleCount = 0;    // 0xFF bytes right before the delimiter
    quint8 delimiter = 0;     // 0x02 short frame, 0x82 long frame
    QByteArray address;       // 1 or 5 bytes, master and burst bits as received
    quint8 command = 0;
    QByteArray data;
    bool checksumOk = false;
    bool answered = false;    // a reply (or the raw fault bytes) went out for it
    QByteArray frame;         // delimiter through check byte

    bool isLongFrame() const { return delimiter == 0x82; }
};
