#include "hartsimacivelcommands.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <QTest>
#include <QTranslator>

#include <cmath>
#include <memory>

// The pH meter's own commands against the simulated meter: names, decoding of reads, requests
// and answer checks of writes, and commands that a frame cannot carry.
class TestAcivelDevice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandNames_data();
    void commandNames();
    void russianTexts();
    void reads_data();
    void reads();
    void failedReadsChangeNothing_data();
    void failedReadsChangeNothing();
    void writeRequests_data();
    void writeRequests();
    void writeAnswers_data();
    void writeAnswers();
    void writesReadBack();
    void commandNumberOutsideAByte_data();
    void commandNumberOutsideAByte();

private:
    void setSimValue(const QString &key, const QVariant &value);
    void setParameters(const QVariantMap &parameters);

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
    Device *m_device = nullptr;
};

namespace {

QString key(const char *text)
{
    return QLatin1String(text);
}

} // namespace

void TestAcivelDevice::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimAcivelCommands::install(*m_sim);
    m_sim->addDevice(HartSimAcivelCommands::device(0));
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(m_port->setSerialName(m_sim->portName()));
    m_port->hartPort.setProperty("response_timeout", 100);
    m_port->hartPort.setProperty("byte_timeout", 20);
    m_device = m_port->createDevice(QStringLiteral("Acivel-M"));
    m_port->insertChild(-1, m_device);
}

void TestAcivelDevice::cleanup()
{
    m_server.reset();
    m_sim.reset();
}

void TestAcivelDevice::setSimValue(const QString &key, const QVariant &value)
{
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.values.insert(key, value); });
}

void TestAcivelDevice::setParameters(const QVariantMap &parameters)
{
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        m_device->setParameter(it.key(), it.value());
}

void TestAcivelDevice::commandNames_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name");
    QTest::newRow("read 129 is the generic one") << false << 129 << QString();
    QTest::newRow("write 129 is the generic one") << true << 129 << QStringLiteral("set write protection by HART protocol");
    QTest::newRow("read 130 is the meter's") << false << 130 << QStringLiteral("device configuration (part 1)");
    QTest::newRow("write 131 is the meter's") << true << 131 << QStringLiteral("electrode parameters");
    QTest::newRow("read 131 has none") << false << 131 << QString();
    QTest::newRow("read 172 has none") << false << 172 << QString();
    QTest::newRow("write 130 has none") << true << 130 << QString();
    QTest::newRow("write 134 has none") << true << 134 << QString();
    QTest::newRow("write 142 has none") << true << 142 << QString();
    QTest::newRow("write 193 has none") << true << 193 << QString();
    QTest::newRow("negative read goes to the generic table") << false << -256 << QString();
}

void TestAcivelDevice::commandNames()
{
    QFETCH(bool, writing);
    QFETCH(int, command);
    QFETCH(QString, name);
    QCOMPARE(writing ? m_device->writeCommandName(command) : m_device->readCommandName(command), name);
}

void TestAcivelDevice::russianTexts()
{
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    const QString name = m_device->writeCommandName(151);
    const QString status = m_device->deviceSpecificStatusText(0x02);
    QCoreApplication::removeTranslator(&russian);

    QCOMPARE(name, QStringLiteral("точек градуировки "));
    QCOMPARE(status, QStringLiteral("Обрыв датчика температуры.\n"));
}

void TestAcivelDevice::reads_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QVariantMap>("expected");

    const float nan = std::nanf("");
    QTest::newRow("130: 0xFF bytes are 255, a NaN is kept")
        << 130 << QByteArray::fromHex("01" "7fc00000" "42c80000" "40e00000" "ff" "ff" "41200000" "ff")
        << QVariantMap{{key("input_units"), 1}, {key("ei_isopotential_point"), nan}, {key("steepness"), 100.0f},
                       {key("phi_isopotential_point"), 7.0f}, {key("average_time_small_sig_ph"), 255},
                       {key("average_time_big_sig_ph"), 255}, {key("big_sig_threshold_ph"), 10.0f},
                       {key("electrode_diag"), 255}};
    QTest::newRow("134: temperature settings")
        << 134 << QByteArray::fromHex("01" "02" "42c80000" "3f800000" "41c80000" "03" "04" "40000000")
        << QVariantMap{{key("t_measurement_mode"), 1}, {key("ts_type"), 2}, {key("ts_0"), 100.0f},
                       {key("t_for_correction"), 1.0f}, {key("t_manual"), 25.0f},
                       {key("average_time_small_sig_t"), 3}, {key("average_time_big_sig_t"), 4},
                       {key("big_sig_threshold_t"), 2.0f}};
    QTest::newRow("140: indication range") << 140 << QByteArray::fromHex("41200000" "42c80000")
                                           << QVariantMap{{key("indicate_range_min"), 10.0f},
                                                          {key("indicate_range_max"), 100.0f}};
    QTest::newRow("150: a longer answer still decodes")
        << 150 << QByteArray::fromHex("02" "40800000" "42c80000" "41c80000" "41200000" "c2c80000" "41c80000" "ee")
        << QVariantMap{{key("current_grd_type"), 2}, {key("current_ph_1"), 4.0f}, {key("current_eds_1"), 100.0f},
                       {key("current_t_1"), 25.0f}, {key("current_ph_2"), 10.0f}, {key("current_eds_2"), -100.0f},
                       {key("current_t_2"), 25.0f}};
    QTest::newRow("152: Ei and S ranges") << 152 << QByteArray::fromHex("c2c80000" "42c80000" "42a00000" "42f00000")
                                          << QVariantMap{{key("ei_min"), -100.0f}, {key("ei_max"), 100.0f},
                                                         {key("s_min"), 80.0f}, {key("s_max"), 120.0f}};
    QTest::newRow("171: adjustment points")
        << 171 << QByteArray::fromHex("3f800000" "40000000" "40400000" "40800000" "40a00000")
        << QVariantMap{{key("adjust_U_p1"), 1.0f}, {key("adjust_U_p2"), 2.0f}, {key("adjust_Rt_p"), 3.0f},
                       {key("adjust_Rc_p1"), 4.0f}, {key("adjust_Rc_p2"), 5.0f}};
}

void TestAcivelDevice::reads()
{
    QFETCH(int, command);
    QFETCH(QByteArray, answer);
    QFETCH(QVariantMap, expected);
    setSimValue(QStringLiteral("reply_data_%1").arg(command), answer);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        m_device->setParameter(it.key(), QStringLiteral("before"));

    QVERIFY(m_device->readDevice(command));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant value = m_device->parameter(it.key());
        QCOMPARE(value.metaType(), it.value().metaType());
        if (std::isnan(it.value().toFloat()))
            QVERIFY(std::isnan(value.toFloat()));
        else
            QCOMPARE(value, it.value());
    }
}

void TestAcivelDevice::failedReadsChangeNothing_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("answerLength");   // -1: the full answer
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("error");
    QTest::newRow("an answer one byte short") << 130 << 19 << false
                                              << QStringLiteral("Invalid response length of command 130: 19 bytes, "
                                                                "20 expected.");
    QTest::newRow("an empty answer") << 171 << 0 << false
                                     << QStringLiteral("Invalid response length of command 171: 0 bytes, 20 expected.");
    QTest::newRow("a command the meter does not read") << 131 << -1 << false << QString();
    QTest::newRow("no answer") << 130 << -1 << true << QString();
}

void TestAcivelDevice::failedReadsChangeNothing()
{
    QFETCH(int, command);
    QFETCH(int, answerLength);
    QFETCH(bool, silent);
    QFETCH(QString, error);
    if (answerLength >= 0)
        setSimValue(QStringLiteral("reply_length_%1").arg(command), answerLength);
    HartSimFaults faults;
    faults.silent = silent;
    m_sim->setFaults(faults);
    m_device->setParameter(key("input_units"), QStringLiteral("before"));
    const QVariantMap before = m_device->parameters();
    QSignalSpy errors(m_device, &Device::deviceError);

    QVERIFY(!m_device->readDevice(command));
    QCOMPARE(m_sim->requests().last().command, quint8(command));
    QCOMPARE(m_device->parameters(), before);
    if (!error.isEmpty()) {
        QCOMPARE(m_device->result(), -2);
        QCOMPARE(m_device->state(), int(ServerItem::StateFailure));
        QCOMPARE(m_device->lastErrorText(), error);
        QCOMPARE(m_device->logLines().last(), error);
        QCOMPARE(errors.last().first().toString(), error);
    }
}

void TestAcivelDevice::writeRequests_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QVariantMap>("parameters");
    QTest::addColumn<QByteArray>("request");

    const QVariantMap electrode{{key("ei_isopotential_point"), 1.0f}, {key("steepness"), 100.0f},
                                {key("phi_isopotential_point"), 7.0f}};
    auto withUnits = [&](int units) {
        QVariantMap map = electrode;
        map.insert(key("input_units"), units);
        return map;
    };
    const QByteArray electrodeFields = QByteArray::fromHex("3f800000" "42c80000");
    QTest::newRow("131 in pH mode 0 sends pHi") << 131 << withUnits(0)
                                                << QByteArray::fromHex("00") + electrodeFields + QByteArray::fromHex("40e00000");
    QTest::newRow("131 in mode 2 sends zero") << 131 << withUnits(2)
                                              << QByteArray::fromHex("02") + electrodeFields + QByteArray(4, '\0');
    QTest::newRow("132: low byte of 256 and -1") << 132
                                                 << QVariantMap{{key("average_time_small_sig_ph"), 256},
                                                                {key("average_time_big_sig_ph"), -1},
                                                                {key("big_sig_threshold_ph"), 2.0f}}
                                                 << QByteArray::fromHex("00ff40000000");
    QTest::newRow("136: missing keys go out as zeros") << 136 << QVariantMap() << QByteArray(9, '\0');
    QTest::newRow("142 has no name but is sent")
        << 142
        << QVariantMap{{key("sensor_unit_code"), 59}, {key("sensor_range_max"), 14.0f},
                       {key("sensor_range_min"), 0.0f}, {key("sensor_minimum_range"), 1.0f}}
        << QByteArray::fromHex("3b" "41600000" "00000000" "3f800000");
    QTest::newRow("172: point and value") << 172 << QVariantMap{{key("adjust_U_point"), 1}, {key("adjust_U"), -2.0f}}
                                          << QByteArray::fromHex("01c0000000");
    QTest::newRow("176: ei_min 1.0 first") << 176 << QVariantMap{{key("ei_min"), 1.0f}}
                                           << QByteArray::fromHex("3f800000") + QByteArray(12, '\0');
}

void TestAcivelDevice::writeRequests()
{
    QFETCH(int, command);
    QFETCH(QVariantMap, parameters);
    QFETCH(QByteArray, request);
    setParameters(parameters);

    QVERIFY(m_device->writeDevice(command));
    QCOMPARE(m_sim->requests().last().command, quint8(command));
    QCOMPARE(m_sim->requests().last().data, request);
    QCOMPARE(m_device->parameterInt(key("modify_count")), 1);
}

void TestAcivelDevice::writeAnswers_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QVariantMap>("parameters");
    QTest::addColumn<QVariant>("answer");   // replaces the simulator's answer when valid
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("modifyCount");   // starting from 5
    QTest::addColumn<QVariantMap>("expected");
    QTest::addColumn<QString>("error");

    const QString echoError = QStringLiteral("*** cmdData != response");
    const QVariantMap diagOn{{key("electrode_diag"), 1}};
    const QVariantMap point1{{key("grd_type"), 1}, {key("grd_point_number"), 1}, {key("grd_point_value"), 4.0f}};
    const QVariantMap unchanged{{key("ei_isopotential_point"), 0.5f}, {key("steepness"), 99.0f}};
    const QString short151 = QStringLiteral("Invalid response length of command 151: %1 bytes, 9 expected.");

    QTest::newRow("133 echoed is counted") << 133 << diagOn << QVariant() << true << 6 << diagOn << QString();
    QTest::newRow("133 with a changed byte fails") << 133 << diagOn << QVariant(QByteArray::fromHex("00")) << false
                                                   << 5 << QVariantMap() << echoError;
    QTest::newRow("133 with an extra byte fails") << 133 << diagOn << QVariant(QByteArray::fromHex("0100")) << false
                                                  << 5 << QVariantMap() << echoError;
    QTest::newRow("192 saving (1) is not counted") << 192 << QVariantMap{{key("manufacturer_settings"), 1}}
                                                   << QVariant() << true << 5 << QVariantMap() << QString();
    QTest::newRow("192 restoring (0) is counted") << 192 << QVariantMap{{key("manufacturer_settings"), 0}}
                                                  << QVariant() << true << 6 << QVariantMap() << QString();
    QTest::newRow("130 written with an empty answer") << 130 << QVariantMap() << QVariant(QByteArray()) << true << 6
                                                      << QVariantMap() << QString();
    QTest::newRow("151 for this point stores Ei and S")
        << 151 << point1 << QVariant() << true << 5
        << QVariantMap{{key("ei_isopotential_point"), 4.0f}, {key("steepness"), 101.0f}} << QString();
    QTest::newRow("151 for another point stores nothing")
        << 151 << point1 << QVariant(QByteArray::fromHex("02" "40800000" "42c80000")) << true << 5 << unchanged
        << QString();
    QTest::newRow("151 for this point cut short fails")
        << 151 << point1 << QVariant(QByteArray::fromHex("01" "40800000" "42c8")) << false << 5 << unchanged
        << short151.arg(7);
    QTest::newRow("151 without a point number fails") << 151 << QVariantMap{{key("grd_point_number"), 0}}
                                                      << QVariant(QByteArray()) << false << 5 << unchanged
                                                      << short151.arg(0);
    QTest::newRow("170 stores the answer bytes")
        << 170 << QVariantMap{{key("adjust_code"), 1234.0f}} << QVariant(QByteArray::fromHex("8001")) << true << 5
        << QVariantMap{{key("adjust_code"), QByteArray::fromHex("8001")}} << QString();
    QTest::newRow("176 with a bound given as infinity sends nothing") << 176 << QVariantMap{{key("s_max"), qInf()}} << QVariant()
        << false << 5 << QVariantMap() << "Command 176 was not sent: the value of s_max is not a number (NaN or infinity).";
    QTest::newRow("176 refused while another thread holds the outcome waits for it") << 176 << QVariantMap{{key("s_max"), qQNaN()}}
        << QVariant(true) << false << 5 << QVariantMap() << "Command 176 was not sent: the value of s_max is not a number (NaN or infinity).";
}

void TestAcivelDevice::writeAnswers()
{
    QFETCH(int, command);
    QFETCH(QVariantMap, parameters);
    QFETCH(QVariant, answer);
    QFETCH(bool, result);
    QFETCH(int, modifyCount);
    QFETCH(QVariantMap, expected);
    QFETCH(QString, error);
    const bool held = answer.typeId() == QMetaType::Bool;   // by another thread, as a poller from its read on
    if (answer.isValid() && !held)
        setSimValue(QStringLiteral("reply_data_%1").arg(command), answer.toByteArray());
    setParameters({{key("ei_isopotential_point"), 0.5f}, {key("steepness"), 99.0f}});
    setParameters(parameters);
    m_device->setParameter(key("modify_count"), 5);
    QSignalSpy errors(m_device, &Device::deviceError);

    QSemaphore holding;
    QSemaphore written;
    QString holderSaw;
    int holderTime = -1;
    std::unique_ptr<QThread> holder(QThread::create([&] {
        const Device::OutcomeHold outcome(m_device);
        m_device->setProcessingTime(240);   // the time of the holder's own read
        holding.release();
        written.tryAcquire(1, 300);
        holderSaw = m_device->lastErrorText();
        holderTime = m_device->processingTime();
    }));
    if (held) {
        holder->start();
        holding.acquire();
    }
    const bool wrote = m_device->writeDevice(command);
    written.release();
    holder->wait();
    QVERIFY(holderSaw.isEmpty());   // the outcome is its holder's until it lets it go
    QCOMPARE(holderTime, held ? 240 : -1);
    QVERIFY(!result || m_device->processingTime() > 0);
    QCOMPARE(wrote, result);
    QCOMPARE(m_device->parameterInt(key("modify_count")), modifyCount);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(m_device->parameter(it.key()), it.value());
    QCOMPARE(m_device->state(), int(result ? ServerItem::StateSuccess : ServerItem::StateFailure));
    if (!result) {
        QCOMPARE(m_device->lastErrorText(), error);
        QCOMPARE(m_device->logLines().last(), error);
        QCOMPARE(errors.last().first().toString(), error);
    }
}

void TestAcivelDevice::writesReadBack()
{
    setParameters({{key("input_units"), 0}, {key("ei_isopotential_point"), -12.5f}, {key("steepness"), 98.0f},
                   {key("phi_isopotential_point"), 7.0f}, {key("adjust_Rc_point"), 1}, {key("adjust_Rc"), 42.0f}});
    QVERIFY(m_device->writeDevice(131));
    QVERIFY(m_device->writeDevice(174));
    for (const char *name : {"ei_isopotential_point", "steepness", "phi_isopotential_point", "adjust_Rc_p2"})
        m_device->removeParameter(key(name));

    QVERIFY(m_device->readDevice(130));
    QVERIFY(m_device->readDevice(171));
    QCOMPARE(m_device->parameter(key("ei_isopotential_point")), QVariant(-12.5f));
    QCOMPARE(m_device->parameter(key("steepness")), QVariant(98.0f));
    QCOMPARE(m_device->parameter(key("phi_isopotential_point")), QVariant(7.0f));
    QCOMPARE(m_device->parameter(key("adjust_Rc_p2")), QVariant(42.0f));
}

void TestAcivelDevice::commandNumberOutsideAByte_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<bool>("writing");
    QTest::addColumn<int>("command");
    QTest::newRow("meter writes 262") << QStringLiteral("Acivel-M") << true << 262;
    QTest::newRow("meter reads 256") << QStringLiteral("Acivel-M") << false << 256;
    QTest::newRow("generic device writes -250") << QStringLiteral("General") << true << -250;
    QTest::newRow("generic device reads -1") << QStringLiteral("General") << false << -1;
}

void TestAcivelDevice::commandNumberOutsideAByte()
{
    QFETCH(QString, templateName);
    QFETCH(bool, writing);
    QFETCH(int, command);
    Device *device = m_port->createDevice(templateName);
    m_port->insertChild(-1, device);
    QSignalSpy errors(device, &Device::deviceError);

    QVERIFY(!(writing ? device->writeDevice(command) : device->readDevice(command)));
    QCOMPARE(m_sim->requestCount(), 0);
    QCOMPARE(device->state(), int(ServerItem::StateFailure));
    QCOMPARE(device->lastErrorText(),
             QStringLiteral("Command number %1 is outside 0 to 255: nothing was sent.").arg(command));
    QCOMPARE(errors.size(), 1);
}

QTEST_GUILESS_MAIN(TestAcivelDevice)
#include "tst_aciveldevice.moc"
