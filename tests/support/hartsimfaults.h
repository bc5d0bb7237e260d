#pragma once

#include <QByteArray>

// Misbehaviour of the simulated line, applied to every reply while set. Defaults: a well-behaved
// line that answers at once in one piece.
struct HartSimFaults
{
    bool silent = false;       // no device answers
    int replyDelayMs = 0;      // pause between the request and the reply
    int chunkSize = 0;         // when above 0 the reply goes out in pieces of this many bytes ...
    int chunkGapMs = 0;        // ... with this pause between them
    QByteArray noise;          // stray bytes sent right before the reply's preambles
    bool badChecksum = false;  // the reply's check byte is inverted
    bool wrongCommand = false; // the reply names the request's command + 1
    bool wrongAddress = false; // the reply's address has the lowest bit of its last byte flipped
    int responseCode = -1;     // 0 to 255 replaces the response code of every reply
    int deviceStatus = -1;     // 0 to 255 replaces the device-status byte of every reply
    int replyPreambles = -1;   // 0 or more replaces the devices' reply preamble count
    QByteArray rawReply;       // when not empty, sent instead of a reply frame
    int babbleMs = 0;          // after the reply the line carries zero bytes for this long ...
    int babbleGapMs = 10;      // ... one chunk every this many ms ...
    int babbleChunk = 1;       // ... of this many bytes: a line that never falls quiet
};
