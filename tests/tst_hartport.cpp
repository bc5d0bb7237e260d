#include "hartcomm/hartport.h"
#include "hartsimulator.h"

#include <QtTest>

#include <memory>

namespace {

HartSimResponse identityAnswer(HartSimDevice &device, const QByteArray &)
{
    HartSimResponse response;
    response.data = device.identityData();
    return response;
}

HartSimResponse twoBytesAnswer(HartSimDevice &, const QByteArray &)
{
    HartSimResponse response;
    response.data = QByteArray::fromHex("abcd");
    return response;
}

enum Fault { Silent, NoFrame, BadChecksum, WrongCommand, WrongAddress, ResponseCode7 };

} // namespace

class TestHartPort : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openAndClose();
    void identityTransaction();
    void failures_data();
    void failures();
    void warningsStillSucceed_data();
    void warningsStillSucceed();
    void preambleCounts_data();
    void preambleCounts();
    void secondDeviceUsesAdaptedCount();
    void identityDecoding_data();
    void identityDecoding();
    void preambleRaise_data();
    void preambleRaise();
    void shortIdentityFails();
    void oversizedRequestIsNotSent();

private:
    std::unique_ptr<HartSimulator> sim;
    std::unique_ptr<HartPort> port;
    HartSimDevice device0{0};
    HartSimDevice device1{1, 0x26, 0x4F, QByteArray::fromHex("654321")};
};

void TestHartPort::init()
{
    sim = std::make_unique<HartSimulator>();
    QVERIFY(sim->isValid());
    for (quint8 command : {11, 21, 73})
        sim->setHandler(command, identityAnswer);
    sim->setHandler(1, twoBytesAnswer);
    sim->setHandler(138, twoBytesAnswer);
    sim->addDevice(device0);
    sim->addDevice(device1);
    port = std::make_unique<HartPort>(nullptr, sim->portName());
}

void TestHartPort::cleanup()
{
    port.reset();
    sim.reset();
}

void TestHartPort::openAndClose()
{
    port->close();   // not open: no job, nothing changes
    QCOMPARE(port->errorCode, 0);
    QVERIFY(!port->isOpen());

    port->setPortName(QStringLiteral("/dev/tenvara-no-such-port"));
    QVERIFY(!port->open());
    QVERIFY(port->errorCode > 0);
    QVERIFY(!port->errorText.isEmpty());

    port->setPortName(sim->portName());
    QVERIFY(port->open());
    QCOMPARE(port->errorCode, 0);
    QVERIFY(port->errorText.isEmpty());

    HartSimulator other;
    other.addDevice(device0);
    port->setPortName(other.portName());
    QVERIFY(port->open());
    QByteArray data;
    QVERIFY(port->sendZeroCommand(0, data, true));
    QCOMPARE(other.requestCount(), 1);

    port->close();
    QVERIFY(!port->isOpen());

    // An empty name asks for a close: nothing is open afterwards, and nothing failed.
    port->setPortName(QString());
    QVERIFY(!port->open());
    QCOMPARE(port->errorCode, 0);
    QVERIFY(port->errorText.isEmpty());
}

void TestHartPort::identityTransaction()
{
    QVERIFY(port->open());
    QByteArray data;
    QVERIFY(port->sendZeroCommand(0, data, true));
    QCOMPARE(data, device0.identityData());
    QCOMPARE(port->errorCode, 0);
    QCOMPARE(port->status, QByteArray(2, '\0'));
    QVERIFY(port->statusTexts.isEmpty());
    QVERIFY(port->txLogLine.contains(QStringLiteral(" TX (")));
    QVERIFY(port->rxLogLine.contains(QStringLiteral(" RX (")));
    QVERIFY(port->request.startsWith(QByteArray(10, char(0xFF)) + char(0x02)));

    const QList<HartSimRequest> seen = sim->requests();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().command, quint8(0));
    QCOMPARE(seen.first().address, QByteArray(1, char(0x80)));
}

void TestHartPort::failures_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("textStart");
    QTest::addColumn<QByteArray>("status");

    QTest::newRow("no answer is a timeout") << int(Silent) << 12 << QStringLiteral("Response timeout (370ms)")
                                            << QByteArray();
    QTest::newRow("bytes that are no frame") << int(NoFrame) << -1
                                             << QStringLiteral("Response command parsing error: *** ")
                                             << QByteArray();
    QTest::newRow("bad check byte") << int(BadChecksum) << -1
                                    << QStringLiteral("Response command parsing error: *** Checksum is wrong!")
                                    << QByteArray();
    QTest::newRow("reply to another command") << int(WrongCommand) << -2
                                              << QStringLiteral("Invalid command response: *** command number")
                                              << QByteArray();
    QTest::newRow("reply from another address") << int(WrongAddress) << -2
                                                << QStringLiteral("Invalid command response: *** address check")
                                                << QByteArray();
    QTest::newRow("error response code") << int(ResponseCode7) << -3
                                         << QStringLiteral("Command error (error code 7): *** write protection")
                                         << QByteArray::fromHex("0700");
}

void TestHartPort::failures()
{
    QFETCH(int, fault);
    QFETCH(int, code);
    QFETCH(QString, textStart);
    QFETCH(QByteArray, status);

    HartSimFaults faults;
    faults.silent = fault == Silent;
    faults.rawReply = fault == NoFrame ? QByteArray::fromHex("123456") : QByteArray();
    faults.badChecksum = fault == BadChecksum;
    faults.wrongCommand = fault == WrongCommand;
    faults.wrongAddress = fault == WrongAddress;
    faults.responseCode = fault == ResponseCode7 ? 7 : -1;
    sim->setFaults(faults);

    QVERIFY(port->open());
    QByteArray data("kept");
    QVERIFY(!port->sendShortFrameCommand(0, 1, QByteArray(), data, true));
    QCOMPARE(port->errorCode, code);
    QVERIFY2(port->errorText.startsWith(textStart), qPrintable(port->errorText));
    QCOMPARE(port->status, status);
    QCOMPARE(data, QByteArray("kept"));
    QVERIFY(!port->txLogLine.isEmpty());
    QCOMPARE(port->rxLogLine.isEmpty(), fault == Silent);
    QVERIFY(port->isOpen());

    // The line stays usable.
    sim->setFaults(HartSimFaults());
    QVERIFY(port->sendShortFrameCommand(0, 1, QByteArray(), data, true));
    QCOMPARE(data, QByteArray::fromHex("abcd"));
}

void TestHartPort::warningsStillSucceed_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("responseCode");
    QTest::addColumn<int>("deviceStatus");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("device-status bits") << 1 << 0 << 0x41
                                        << QStringList{QStringLiteral("*** Configuration changed"),
                                                       QStringLiteral("*** Primary variable out of limits")};
    QTest::newRow("field device malfunction") << 1 << 0 << 0x80
                                              << QStringList{QStringLiteral("*** Field device malfunction")};
    QTest::newRow("warning code 8 to command 138") << 138 << 8 << 0
                                                   << QStringList{QStringLiteral("*** linearization point not used")};
}

void TestHartPort::warningsStillSucceed()
{
    QFETCH(int, command);
    QFETCH(int, responseCode);
    QFETCH(int, deviceStatus);
    QFETCH(QStringList, texts);

    HartSimFaults faults;
    faults.responseCode = responseCode;
    faults.deviceStatus = deviceStatus;
    sim->setFaults(faults);

    QVERIFY(port->open());
    QByteArray data;
    QVERIFY(port->sendLongFrameCommand(device0.uniqueAddress(), quint8(command), QByteArray(), data, true));
    QCOMPARE(port->errorCode, 0);
    QCOMPARE(data, QByteArray::fromHex("abcd"));
    QCOMPARE(port->statusTexts, texts);
    QCOMPARE(port->status, QByteArray(1, char(responseCode)) + char(deviceStatus));
}

void TestHartPort::preambleCounts_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("longFrame");
    QTest::addColumn<int>("replyPreambles");
    QTest::addColumn<int>("sentPreambles");
    QTest::addColumn<int>("countAfter");

    QTest::newRow("command 0 goes with the initial count, reply count taken") << 0 << false << 7 << 10 << 7;
    QTest::newRow("reply with fewer than 5 preambles gives 5") << 0 << false << 3 << 10 << 5;
    QTest::newRow("command 11 by tag adapts") << 11 << true << 8 << 10 << 8;
    QTest::newRow("command 73 adapts") << 73 << true << 8 << 10 << 8;
    QTest::newRow("command 21 does not adapt") << 21 << true << 8 << 10 << 5;
    QTest::newRow("command 0 by long frame uses the ordinary count") << 0 << true << 9 << 5 << 9;
    QTest::newRow("ordinary command does not adapt") << 1 << true << 9 << 5 << 5;
}

void TestHartPort::preambleCounts()
{
    QFETCH(int, command);
    QFETCH(bool, longFrame);
    QFETCH(int, replyPreambles);
    QFETCH(int, sentPreambles);
    QFETCH(int, countAfter);

    HartSimFaults faults;
    faults.replyPreambles = replyPreambles;
    sim->setFaults(faults);

    QVERIFY(port->open());
    QByteArray data;
    const QByteArray address = command == 0 || command == 1 ? device0.uniqueAddress() : QByteArray(5, '\0');
    const bool ok = longFrame ? port->sendLongFrameCommand(address, quint8(command), QByteArray(), data, true)
                              : port->sendShortFrameCommand(0, quint8(command), QByteArray(), data, true);
    QVERIFY2(ok, qPrintable(port->errorText));
    QCOMPARE(sim->requests().last().preambleCount, sentPreambles);
    QCOMPARE(port->preamblesCount, countAfter);
    QCOMPARE(port->initialPreamblesCount, 10);

    // Later ordinary commands go out with the adapted count.
    QVERIFY(port->sendLongFrameCommand(device0.uniqueAddress(), 1, QByteArray(), data, true));
    QCOMPARE(sim->requests().last().preambleCount, countAfter);
}

void TestHartPort::secondDeviceUsesAdaptedCount()
{
    sim->updateDevice(0, [](HartSimDevice &device) { device.replyPreambles = 12; });
    QVERIFY(port->open());
    QByteArray data;
    QVERIFY(port->sendZeroCommand(0, data, true));
    QVERIFY(port->sendLongFrameCommand(device1.uniqueAddress(), 1, QByteArray(), data, true));
    QCOMPARE(sim->requests().last().preambleCount, 12);
}

void TestHartPort::identityDecoding_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QVariant>("variables");
    QTest::addColumn<QVariant>("modifyCount");
    QTest::addColumn<QVariant>("extendedStatus");
    QTest::addColumn<QVariant>("vendorId");

    const QVariant untouched(QStringLiteral("untouched"));
    QTest::newRow("12 bytes leave the longer layout's keys alone")
        << 12 << untouched << untouched << untouched << untouched;
    QTest::newRow("13 bytes fill the missing bytes with zeros")
        << 13 << QVariant(0) << QVariant(0) << QVariant(0) << QVariant(QByteArray(2, '\0'));
    QTest::newRow("18 bytes give half a vendor ID")
        << 18 << QVariant(4) << QVariant(0xFFFE) << QVariant(0x5A) << QVariant(QByteArray::fromHex("6000"));
    QTest::newRow("22 bytes decode everything")
        << 22 << QVariant(4) << QVariant(0xFFFE) << QVariant(0x5A) << QVariant(QByteArray::fromHex("6026"));
}

void TestHartPort::identityDecoding()
{
    QFETCH(int, length);
    QFETCH(QVariant, variables);
    QFETCH(QVariant, modifyCount);
    QFETCH(QVariant, extendedStatus);
    QFETCH(QVariant, vendorId);

    sim->updateDevice(0, [length](HartSimDevice &device) {
        device.identityLength = length;
        device.manufacturerCode = 0xC5;
        device.deviceTypeCode = 0x10;
        device.deviceId = QByteArray::fromHex("010203");
        device.minRequestPreambles = 8;
        device.replyPreambles = 6;
        device.configChangeCounter = 0xFFFE;
        device.extendedStatus = 0x5A;
    });
    QVERIFY(port->open());
    QByteArray data;
    QVERIFY(port->sendZeroCommand(0, data, true));
    QCOMPARE(data.size(), length);

    const QVariant untouched(QStringLiteral("untouched"));
    QVariantMap map{{QStringLiteral("tag"), QStringLiteral("TT-101")},
                    {QStringLiteral("dev_variables_count"), untouched},
                    {QStringLiteral("modify_count"), untouched},
                    {QStringLiteral("extended_status"), untouched},
                    {QStringLiteral("vendorID"), untouched}};
    QVERIFY(port->parseCommandZeroResponse(data, map));

    QCOMPARE(map.value(QStringLiteral("tag")), QVariant(QStringLiteral("TT-101")));
    QCOMPARE(map.value(QStringLiteral("manufacturer_code")), QVariant(0xC5));
    QCOMPARE(map.value(QStringLiteral("device_type_code")), QVariant(0x10));
    QCOMPARE(map.value(QStringLiteral("expanded_device_type")), QVariant(QByteArray::fromHex("c510")));
    QCOMPARE(map.value(QStringLiteral("min_preambles_count")), QVariant(8));
    QCOMPARE(map.value(QStringLiteral("universal_cmd_version")), QVariant(7));
    QCOMPARE(map.value(QStringLiteral("hardware_version")), QVariant(3));
    QCOMPARE(map.value(QStringLiteral("deviceID")), QVariant(QByteArray::fromHex("010203")));
    QCOMPARE(map.value(QStringLiteral("address")), QVariant(QByteArray::fromHex("0510010203")));
    // The count was 6 after the reply and the device asks for 8; byte 12 is shown but not used.
    QCOMPARE(port->preamblesCount, 8);
    QCOMPARE(map.value(QStringLiteral("preambles_count")), QVariant(length == 12 ? 8 : 6));
    QCOMPARE(map.value(QStringLiteral("dev_variables_count")), variables);
    QCOMPARE(map.value(QStringLiteral("modify_count")), modifyCount);
    QCOMPARE(map.value(QStringLiteral("extended_status")), extendedStatus);
    QCOMPARE(map.value(QStringLiteral("vendorID")), vendorId);
}

void TestHartPort::preambleRaise_data()
{
    QTest::addColumn<int>("countBefore");
    QTest::addColumn<int>("minPreambles");
    QTest::addColumn<int>("countAfter");

    QTest::newRow("device minimum above the count raises it") << 5 << 20 << 20;
    QTest::newRow("device minimum below the count leaves it") << 10 << 5 << 10;
    QTest::newRow("minimum of 200 is taken unsigned") << 5 << 200 << 200;
    QTest::newRow("count of 200 is never lowered") << 200 << 20 << 200;
}

void TestHartPort::preambleRaise()
{
    QFETCH(int, countBefore);
    QFETCH(int, minPreambles);
    QFETCH(int, countAfter);

    HartSimDevice device;
    device.minRequestPreambles = quint8(minPreambles);
    device.identityLength = 12;
    port->preamblesCount = countBefore;
    QVariantMap map;
    QVERIFY(port->parseCommandZeroResponse(device.identityData(), map));
    QCOMPARE(port->preamblesCount, countAfter);
    QCOMPARE(map.value(QStringLiteral("min_preambles_count")), QVariant(minPreambles));
    QCOMPARE(map.value(QStringLiteral("preambles_count")), QVariant(countAfter));
}

void TestHartPort::shortIdentityFails()
{
    const QVariantMap before{{QStringLiteral("tag"), QStringLiteral("TT-101")}};
    QVariantMap map = before;
    QVERIFY(!port->parseCommandZeroResponse(QByteArray(11, '\x01'), map));
    QCOMPARE(port->errorCode, -2);
    QCOMPARE(port->errorText, QStringLiteral("Invalid response lenght of command ZERO."));
    QCOMPARE(map, before);
    QCOMPARE(port->preamblesCount, 5);
}

QTEST_GUILESS_MAIN(TestHartPort)
void TestHartPort::oversizedRequestIsNotSent()
{
    QVERIFY(port->open());
    QByteArray data;
    QVERIFY(port->sendShortFrameCommand(0, 1, QByteArray(), data, true));
    QCOMPARE(sim->requestCount(), 1);

    // 256 data bytes do not fit the byte count. Before the fix the empty frame went to the worker
    // as an open job and the previous answer passed for this command's reply.
    data = "kept";
    QVERIFY(!port->sendShortFrameCommand(0, 1, QByteArray(256, 'x'), data, true));
    QCOMPARE(port->errorCode, -2);
    QVERIFY2(port->errorText.startsWith(QStringLiteral("*** Too many data bytes")), qPrintable(port->errorText));
    QCOMPARE(data, QByteArray("kept"));
    QVERIFY(port->txLogLine.isEmpty());
    QVERIFY(port->rxLogLine.isEmpty());
    QVERIFY(port->status.isEmpty());
    QTest::qWait(300);
    QCOMPARE(sim->requestCount(), 1);

    // 255 data bytes still fit and go out.
    QVERIFY(port->sendShortFrameCommand(0, 1, QByteArray(255, 'x'), data, true));
    QCOMPARE(sim->requestCount(), 2);
    QCOMPARE(sim->requests().last().data.size(), 255);
}

#include "tst_hartport.moc"
