// What logging costs where nothing is printed: a log statement whose level the mask switches
// off, and the parse of one command-0 reply (frame, answer check, status, identity) with every
// level off, as a polling loop or an editor meets it many times over.
#include "core/debugqt.h"
#include "core/debugqtstream.h"
#include "hartcomm/hartcommand.h"
#include "hartcomm/hartport.h"
#include "hartsimdevice.h"
#include "hartsimframe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVariantMap>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The best of several batches, in nanoseconds per call: the least disturbed by other load.
template<typename Work>
double bestNsPerCall(int calls, Work work)
{
    double best = 1e300;
    for (int batch = 0; batch < 7; ++batch) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < calls; ++i)
            work(i);
        best = std::min(best, double(clock.nsecsElapsed()) / calls);
    }
    return best;
}

// A short-frame reply of 26 bytes: 5 preambles, delimiter, address, command 0, byte count,
// two status bytes, 14 identity bytes and the check byte.
QByteArray commandZeroReply()
{
    HartSimDevice device(0);
    device.identityLength = 14;
    return HartSimFrame::buildReply(5, QByteArray(1, char(0x80)), 0, 0, 0, device.identityData());
}

bool parseReply(HartPort &port, HartCommand &request, const QByteArray &bytes, QVariantMap &identity)
{
    HartCommand reply;
    return reply.fromByteArray(bytes, false) && request.checkAnswer(reply) && reply.checkStatus()
           && port.parseCommandZeroResponse(reply.data(), identity);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int scale = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    DebugQt::instance(DebugQt::StartupMask, nullptr)->mask = DebugQt::FormatBits;   // every level off

    int counter = 0;
    const double statementNs = bestNsPerCall(200000 * scale, [&counter](int i) {
        DEBUGQT_LOG(4) << "step:" << i << " byte: " << QStringLiteral("ff");
        ++counter;
    });

    HartPort port(nullptr);
    HartCommand request(nullptr, 5, 0, 0, QByteArray(), true);
    const QByteArray bytes = commandZeroReply();
    QVariantMap identity;
    bool parsed = true;
    const double parseNs = bestNsPerCall(2000 * scale, [&](int) {
        parsed = parseReply(port, request, bytes, identity) && parsed;
    });
    if (!parsed || bytes.size() != 26) {
        std::fprintf(stderr, "the %d-byte reply did not parse\n", int(bytes.size()));
        return 1;
    }

    std::printf("log statement, level off:        %8.1f ns   (target < 50 ns)\n", statementNs);
    std::printf("command-0 reply parse, logs off: %8.2f us   (target < 20 us)\n", parseNs / 1000);
    return 0;
}
