// A simulated HART line for trying the program without a modem: two devices at polling
// addresses 0 and 1 behind a pseudo-terminal whose path is printed; Enter or end of input stops it.
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"

#include <cstdio>
#include <iostream>
#include <string>

int main()
{
    HartSimulator simulator;
    if (!simulator.isValid()) {
        std::fprintf(stderr, "hartsim: no pseudo-terminal available\n");
        return 1;
    }
    HartSimUniversalCommands::install(simulator);
    simulator.addDevice(HartSimDevice(0, 0x26, 0x4E, QByteArray::fromHex("123456")));
    simulator.addDevice(HartSimDevice(1, 0x26, 0x4F, QByteArray::fromHex("654321")));

    std::printf("%s\n", qPrintable(simulator.portName()));
    std::fflush(stdout);
    std::fprintf(stderr, "hartsim: serving devices at polling addresses 0 and 1; press Enter to stop\n");

    std::string line;
    std::getline(std::cin, line);
    std::fprintf(stderr, "hartsim: %d requests served\n", simulator.requestCount());
    return 0;
}
