#pragma once

#include "hartsimrequest.h"

#include <QByteArray>

// Frame handling of the simulated slave, written apart from the program's own frame code so that
// each checks the other: finds request frames in the received byte stream and builds replies.
class HartSimFrame
{
public:
    enum class Scan { NoFrame, Partial, Frame };

    // Looks for a request (two or more 0xFF, delimiter 0x02 or 0x82, 1- or 5-byte address,
    // command, byte count, data, check byte) in buffer. Frame: request is filled and the bytes up
    // to its check byte are removed. Partial: a frame has begun; buffer now starts with its
    // preambles. NoFrame: nothing usable, buffer is emptied.
    static Scan takeRequest(QByteArray &buffer, HartSimRequest &request);

    // A complete reply: preambles, 0x06 or 0x86 (by the address length), address, command, byte
    // count, response code, device status, data and the exclusive-OR check byte.
    static QByteArray buildReply(int preambles, const QByteArray &address, quint8 command,
                                 quint8 responseCode, quint8 deviceStatus, const QByteArray &data);

    // Exclusive OR of bytes [from, to).
    static quint8 checkByte(const QByteArray &bytes, int from, int to);
};
