#include "hartsimfactorycommands.h"

#include "hartsimdevice.h"
#include "hartsimulator.h"

namespace {

const QByteArray AccessCode = QByteArray::fromHex("2D7B61C4");
constexpr int RequestLength = 9;

} // namespace

void HartSimFactoryCommands::install(HartSimulator &simulator)
{
    simulator.setHandler(FactoryCodeCommand, [](HartSimDevice &device, const QByteArray &request) {
        HartSimResponse response;
        if (request.size() < RequestLength) {
            response.responseCode = TooFewDataBytes;
            return response;
        }
        if (!request.startsWith(AccessCode)) {
            response.responseCode = AccessRestricted;
            return response;
        }
        device.manufacturerCode = quint8(request.at(4));
        device.deviceTypeCode = quint8(request.at(5));
        device.deviceId = request.mid(6, 3);
        response.data = request;
        return response;
    });
}
