#pragma once

#include <QtGlobal>

class HartSimulator;

// The maker's factory command 253 of a simulated device: a request that opens with the factory
// access code 2D 7B 61 C4 gives the device the manufacturer code, device type and 3-byte device
// ID of request bytes 4 to 8 and is echoed; any other code, or a request shorter than 9 bytes,
// is answered with an error response code and changes nothing.
class HartSimFactoryCommands
{
public:
    static constexpr quint8 FactoryCodeCommand = 253;
    static constexpr quint8 AccessRestricted = 16;
    static constexpr quint8 TooFewDataBytes = 5;

    static void install(HartSimulator &simulator);
};
