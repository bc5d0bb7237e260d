#pragma once

#include <QByteArray>
#include <QtGlobal>

// What a simulated device answers to one command. The simulator adds the device's own status
// bits to deviceStatus; a silent response sends nothing, like a device that ignores a request.
struct HartSimResponse
{
    quint8 responseCode = 0;
    quint8 deviceStatus = 0;
    QByteArray data;
    bool silent = false;
};
