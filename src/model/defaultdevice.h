#pragma once

#include "model/device.h"

// The device of the template "General": any HART device, served by the universal and
// common-practice commands of Device alone.
class DefaultDevice : public Device
{
    Q_OBJECT

public:
    explicit DefaultDevice(ServerItem *parent);
    ~DefaultDevice() override;

    QString readCommandName(int command) override;
    QString writeCommandName(int command) override;
    bool readDevice(int command) override;
    bool writeDevice(int command) override;
};
