#pragma once

#include "model/device.h"

#include <QByteArray>
#include <QString>

// A pH meter of the template "Acivel-M".
// Commands up to 129 are the generic ones of Device; the maker's own commands are numbered
// from 130: its configuration, graduation and metrology reads and writes, which this class
// decodes into and builds from the parameter map.
class AcivelDevice : public Device
{
    Q_OBJECT

public:
    static constexpr int FirstModelCommand = 130;

    explicit AcivelDevice(ServerItem *parent);
    ~AcivelDevice() override;

    QString readCommandName(int command) override;
    QString writeCommandName(int command) override;
    bool readDevice(int command) override;
    bool writeDevice(int command) override;
    QString deviceSpecificStatusText(int code) const override;

    // Input modes above the two pH ones measure millivolts; pHi means nothing there, and a
    // write of the electrode settings sends zero in its place.
    static bool isMillivoltMode(int inputMode) { return inputMode > 1; }

private:
    QByteArray writeRequest(int command, QStringList *unmeasured) const;
    bool storeGraduationAnswer(const QByteArray &reply);
    void failShortAnswer(int command, int received, int expected);
};
