#pragma once

#include "measure/pollingthread.h"

#include <QVariantMap>

class Device;

// Reads up to four device variables of one device (HART command 33) on a fixed period in a
// worker thread and hands every result over through responsePeriodThrd33(): on success the
// keys "slot_N_value" and "slot_N_unit_code" of each slot the answer carried, "statusCode" and
// "statusText"; on failure "slot_0_value" (0.0), "statusCode" and "errorText". A slot the answer
// did not carry is left out, never filled with an earlier reading.
//
// It works like PeriodThread: a tick that finds the worker reading is lost, and the polled
// device carries the "periodically requested" flag while it is polled (see PollingThread).
//
//     PeriodThread33 poller;
//     connect(&poller, &PeriodThread33::responsePeriodThrd33, page, &Page::showLiveValues);
//     poller.setDevice(device, 2100, 1, 4, 6, PeriodThread33::NotUsed);
//     ...
//     poller.stopThread();   // returns once the worker has ended
class PeriodThread33 : public PollingThread
{
    Q_OBJECT

public:
    // The device-variable code of a slot that is not used.
    static constexpr int NotUsed = 250;
    static constexpr int SlotCount = 4;

    explicit PeriodThread33(QObject *parent = nullptr);
    ~PeriodThread33() override;

    // Starts polling the device's variables with the four codes every period milliseconds, or
    // re-targets a running thread (device, codes and period), which reads the new target at
    // once. A period below 1 or a null device is ignored.
    void setDevice(Device *device, int period, int code0, int code1, int code2, int code3);

signals:
    void responsePeriodThrd33(const QVariantMap &response);

private:
    void takeSettings() override;
    void pollOnce(Device *device) override;
    static QVariantMap successMap(const Device *device);
    static QVariantMap failureMap(const Device *device);

    int m_codes[SlotCount] = {NotUsed, NotUsed, NotUsed, NotUsed};      // set under the lock
    int m_pollCodes[SlotCount] = {NotUsed, NotUsed, NotUsed, NotUsed};  // the worker's copy
};
