#include "mainwindow/factorynumberdialog.h"
#include "hartsimfactorycommands.h"
#include "hartsimfaults.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"

#include <QTest>

#include <memory>

// The factory-number dialog against a simulated device that knows the factory command.
class TestFactoryNumberDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void request_data();
    void request();
    void verifiedWrite();
    void failedWrite_data();
    void failedWrite();

private:
    QList<HartSimRequest> factoryRequests() const;

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Device *m_device = nullptr;
    std::unique_ptr<FactoryNumberDialog> m_dialog;
};

void TestFactoryNumberDialog::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimFactoryCommands::install(*m_sim);
    m_sim->addDevice(HartSimDevice(0, 0xE0, 0x91, QByteArray::fromHex("000001")));
    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("line"));
    QVERIFY(port->setSerialName(m_sim->portName()));
    port->hartPort.setProperty("response_timeout", 100);
    m_device = port->createDevice(QStringLiteral("Zorvan-M"));
    port->insertChild(-1, m_device);
    QVERIFY(m_device->checkDevice(QString(), QString(), false));
    m_dialog = std::make_unique<FactoryNumberDialog>(nullptr, m_device);
}

void TestFactoryNumberDialog::cleanup()
{
    m_dialog.reset();
    m_server.reset();
    m_sim.reset();
}

QList<HartSimRequest> TestFactoryNumberDialog::factoryRequests() const
{
    QList<HartSimRequest> found;
    for (const HartSimRequest &request : m_sim->requests()) {
        if (request.command == FactoryNumberDialog::FactoryCodeCommand)
            found.append(request);
    }
    return found;
}

void TestFactoryNumberDialog::request_data()
{
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<QString>("deviceType");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("sent");   // empty: refused, nothing sent
    QTest::newRow("hexadecimal fields") << "0x20" << "0x90" << "0x123456"
                                        << QByteArray::fromHex("2D7B61C42090123456");
    QTest::newRow("decimal and h-suffix fields") << "224" << "90h" << "1193046"
                                                 << QByteArray::fromHex("2D7B61C4E090123456");
    QTest::newRow("manufacturer above 0xFF") << "999" << "0x90" << "1" << QByteArray();
    QTest::newRow("device type above 0xFF") << "0xE0" << "256" << "1" << QByteArray();
    QTest::newRow("number above 0xFFFFFF") << "0xE0" << "0x90" << "16777216" << QByteArray();
    QTest::newRow("empty number") << "0xE0" << "0x90" << "" << QByteArray();
    QTest::newRow("empty manufacturer") << "" << "0x90" << "5" << QByteArray();
    QTest::newRow("number with a fraction") << "0xE0" << "0x90" << "1.5" << QByteArray();
}

void TestFactoryNumberDialog::request()
{
    QFETCH(QString, manufacturer);
    QFETCH(QString, deviceType);
    QFETCH(QString, number);
    QFETCH(QByteArray, sent);
    PromptRecorder prompts;
    m_dialog->findChild<QLineEdit *>(QStringLiteral("txtFactoryCode"))->setText(manufacturer);
    m_dialog->findChild<QLineEdit *>(QStringLiteral("txtDeviceCode"))->setText(deviceType);
    m_dialog->findChild<QLineEdit *>(QStringLiteral("txtDeviceNumber"))->setText(number);
    m_dialog->findChild<QPushButton *>(QStringLiteral("btnSave"))->click();
    const QList<HartSimRequest> requests = factoryRequests();
    if (sent.isEmpty()) {
        QVERIFY(requests.isEmpty());
        QCOMPARE(prompts.requests.size(), 1);
        QCOMPARE(prompts.requests.first().kind, Prompt::Critical);
    } else {
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().data, sent);
    }
}

void TestFactoryNumberDialog::verifiedWrite()
{
    m_device->setParameter(QStringLiteral("polling_address"), 0);
    m_device->setParameter(QStringLiteral("range_max"), 100.0f);
    PromptRecorder prompts;
    m_dialog->findChild<QLineEdit *>(QStringLiteral("txtDeviceNumber"))->setText(QStringLiteral("0x123456"));
    m_dialog->findChild<QPushButton *>(QStringLiteral("btnSave"))->click();
    QVERIFY(m_dialog->written());
    QCOMPARE(m_device->parameterByteArray(QStringLiteral("address")), QByteArray::fromHex("2090123456"));
    QCOMPARE(m_device->parameterInt(QStringLiteral("manufacturer_code")), 0xE0);
    QVERIFY(m_device->hasParameter(QStringLiteral("polling_address")));
    QCOMPARE(m_device->parameterFloat(QStringLiteral("range_max")), 100.0f);
    QCOMPARE(prompts.requests.size(), 1);
    QCOMPARE(prompts.requests.first().text, QStringLiteral("Success!"));
}

void TestFactoryNumberDialog::failedWrite_data()
{
    // 0 refuses the code, 1 stays silent, 2 keeps its identity, 3 takes it with an error code
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("response"); // a line the failure message shows
    QTest::newRow("device refuses the access code") << 0 << false << QStringLiteral("restricted access");
    QTest::newRow("silent device") << 1 << false << QStringLiteral("time");
    QTest::newRow("device keeps its old identity") << 2 << false << QString();
    QTest::newRow("device takes the identity with an error code") << 3 << true << QString();
}

void TestFactoryNumberDialog::failedWrite()
{
    QFETCH(int, behaviour);
    QFETCH(bool, written);
    QFETCH(QString, response);
    m_sim->setHandler(FactoryNumberDialog::FactoryCodeCommand, [behaviour](HartSimDevice &device, const QByteArray &data) {
        HartSimResponse response;
        response.responseCode = behaviour == 0 || behaviour == 3 ? HartSimFactoryCommands::AccessRestricted : 0;
        response.silent = behaviour == 1;
        response.data = data;
        if (behaviour == 3) {
            device.deviceTypeCode = quint8(data.at(5));
            device.deviceId = data.mid(6, 3);
        }
        return response;
    });
    PromptRecorder prompts;
    m_dialog->findChild<QLineEdit *>(QStringLiteral("txtDeviceNumber"))->setText(QStringLiteral("7"));
    m_dialog->findChild<QPushButton *>(QStringLiteral("btnSave"))->click();
    QCOMPARE(m_dialog->written(), written);
    QCOMPARE(prompts.requests.size(), 1);
    QCOMPARE(prompts.requests.first().kind, written ? Prompt::Warning : Prompt::Critical);
    QVERIFY2(prompts.requests.first().text.contains(response, Qt::CaseInsensitive),
             qPrintable(prompts.requests.first().text));
    // Whatever the write's result, the device is identified again.
    QCOMPARE(m_sim->requests().last().command, quint8(0));
}

QTEST_MAIN(TestFactoryNumberDialog)
#include "tst_factorynumberdialog.moc"
