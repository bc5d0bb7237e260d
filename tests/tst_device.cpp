#include "devices/acivel/aciveldevice.h"
#include "model/defaultdevice.h"
#include "model/port.h"
#include "model/server.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <future>
#include <memory>
#include <thread>

class TestDevice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstDeviceDefaults();
    void absentParameterReadsEmptyWithoutAdding();
    void byteArrayOfNumberIsEmpty();
    void incrementModifyCount_data();
    void incrementModifyCount();
    void clearSlotVariablesKeepsOtherSlots();
    void clearIdentity();
    void stateMarks_data();
    void stateMarks();
    void valueSourceText_data();
    void valueSourceText();
    void logKeepsNewestLines();
    void displayName_data();
    void displayName();
    void setTemplateAlwaysSignals();
    void concurrentUseLosesNothing();
    void unitText_data();
    void unitText();
    void otherTables_data();
    void otherTables();
    void textTablesHaveRussian();
    void unitsFromParameters();
    void pHMeterStatusText_data();
    void pHMeterStatusText();
    void rename_data();
    void rename();
    void mergeFromReference_data();
    void mergeFromReference();
    void syncTimeoutsToPort_data();
    void syncTimeoutsToPort();
    void snapshotRestoresStateAndFlags();
    void undoAndRedoOfLoad();
    void loadKeepingSettings();

private:
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
};

void TestDevice::init()
{
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("COM1"));
}

void TestDevice::cleanup()
{
    m_server.reset();
}

void TestDevice::firstDeviceDefaults()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("X")));
    QCOMPARE(device->name(), QStringLiteral("Device1"));
    QCOMPARE(device->pollingPeriod(), 1000);
    QCOMPARE(device->property("priority").toInt(), 10);
    QCOMPARE(device->stateFlags(), 1);
    QVERIFY(device->parameters().isEmpty());
    QCOMPARE(device->key(), QStringLiteral("COM1/Device1"));
    QCOMPARE(device->port(), m_port);

    // A device's children are data-point items whose changes reach the device.
    QVERIFY(device->insertChildren(0, 1));
    QCOMPARE(device->childCount(), 1);
    ServerItem *tag = device->childItems().value(0);
    QCOMPARE(tag->type(), 4);
    QCOMPARE(tag->key(), QStringLiteral("COM1/Device1/Tag1"));
    QSignalSpy modified(device.get(), &ServerItem::modified);
    emit tag->modified();
    QCOMPARE(modified.count(), 1);
}

void TestDevice::absentParameterReadsEmptyWithoutAdding()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    QCOMPARE(device->parameterInt(QStringLiteral("x")), 0);
    QCOMPARE(device->parameterFloat(QStringLiteral("x")), 0.0f);
    QCOMPARE(device->parameterString(QStringLiteral("x")), QString());
    QCOMPARE(device->parameterByteArray(QStringLiteral("x")), QByteArray());
    QVERIFY(!device->parameter(QStringLiteral("x")).isValid());
    QVERIFY(!device->hasParameter(QStringLiteral("x")));
}

void TestDevice::byteArrayOfNumberIsEmpty()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    device->setParameter(QStringLiteral("PV"), 74.3f);
    QCOMPARE(device->parameterByteArray(QStringLiteral("PV")), QByteArray());
}

void TestDevice::incrementModifyCount_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("absent gives 1") << QVariant() << 1;
    QTest::newRow("7 gives 8") << QVariant(7) << 8;
    QTest::newRow("count as JSON gives it back") << QVariant(qlonglong(7)) << 8;
}

void TestDevice::incrementModifyCount()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    if (stored.isValid())
        device->setParameter(QStringLiteral("modify_count"), stored);
    device->incrementModifyCount();
    QCOMPARE(device->parameterInt(QStringLiteral("modify_count")), expected);
}

void TestDevice::clearSlotVariablesKeepsOtherSlots()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    const QStringList fields{"code", "class", "unit_code", "value", "status"};
    for (int slot = 0; slot <= 8; ++slot) {
        for (const QString &field : fields)
            device->setParameter(QStringLiteral("slot_%1_%2").arg(slot).arg(field), slot);
    }
    device->setParameter(QStringLiteral("tag"), QStringLiteral("TT1"));
    device->clearSlotVariables();
    QCOMPARE(device->parameters().size(), 6);
    QVERIFY(device->hasParameter(QStringLiteral("slot_8_code")));
    QVERIFY(!device->hasParameter(QStringLiteral("slot_7_status")));
}

void TestDevice::clearIdentity()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    device->setParameter(QStringLiteral("address"), QByteArray::fromHex("26e0123456"));
    device->setDeviceId(QByteArray::fromHex("123456"));
    device->setUniqueAddress(QByteArray::fromHex("26e0123456"));
    device->setStateFlags(0x1E);
    device->setResult(4);
    device->clearIdentity();
    QVERIFY(device->hasParameter(QStringLiteral("address")));
    QVERIFY(device->hasParameter(QStringLiteral("deviceID")));
    QVERIFY(device->parameterByteArray(QStringLiteral("address")).isEmpty());
    QVERIFY(device->deviceId().isEmpty());
    QVERIFY(device->uniqueAddress().isEmpty());
    QCOMPARE(device->stateFlags(), 1);
    QCOMPARE(device->errorCounter(), 0);
    QCOMPARE(device->lastErrorText(), QStringLiteral("No error"));
}

void TestDevice::stateMarks_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("marks");
    QTest::newRow("initial only") << 0x01 << "";
    QTest::newRow("all marks in order") << 0x1F << "[>*<@]";
    QTest::newRow("further mark alone") << 0x40 << "[!]";
    QTest::newRow("flag without a mark") << 0x20 << "";
    QTest::newRow("read and polled") << 0x14 << "[>@]";
}

void TestDevice::stateMarks()
{
    QFETCH(int, flags);
    QFETCH(QString, marks);
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    device->setStateFlags(flags);
    QCOMPARE(device->stateMarks(), marks);
}

void TestDevice::valueSourceText_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("text");
    QTest::newRow("never read") << 0x01 << "from file";
    QTest::newRow("read and changed") << 0x06 << "from device / changed";
    QTest::newRow("everything") << 0x1E << "from device / changed / saved in device / periodically requested";
}

void TestDevice::valueSourceText()
{
    QFETCH(int, flags);
    QFETCH(QString, text);
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    device->setStateFlags(flags);
    QCOMPARE(device->valueSourceText(), text);
}

void TestDevice::logKeepsNewestLines()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    device->setAddress(4);
    QSignalSpy messages(device.get(), &Device::modbusMessage);
    for (int i = 0; i <= Device::DefaultLogLineLimit; ++i)
        device->appendLogLine(QString::number(i));
    device->logMessage(QStringLiteral("last"));
    const QStringList lines = device->logLines();
    QCOMPARE(lines.size(), Device::DefaultLogLineLimit);
    QCOMPARE(lines.first(), QStringLiteral("2"));
    QCOMPARE(lines.last(), QStringLiteral("last"));
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.first().at(0).toInt(), 4);
}

void TestDevice::displayName_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("expected");
    QTest::newRow("tag names the device") << "Zorvan-M" << "TT-101" << 0 << "Zorvan-M_{TT-101}";
    QTest::newRow("address without a tag") << "General" << "" << 3 << "General_{3}";
    QTest::newRow("blank in the tag") << "Drumel-M" << "PT 1" << 0 << "Drumel-M_{PT_1}";
}

void TestDevice::displayName()
{
    QFETCH(QString, templateName);
    QFETCH(QString, tag);
    QFETCH(int, address);
    QFETCH(QString, expected);
    Device *device = m_port->addDevice(QStringLiteral("x"), templateName);
    device->setAddress(address);
    if (!tag.isEmpty())
        device->setParameter(QStringLiteral("tag"), tag);
    device->displayName();
    QCOMPARE(device->name(), expected);
    // Naming again keeps the name the device already holds.
    device->displayName();
    QCOMPARE(device->name(), expected);
    QCOMPARE(m_port->deviceByKey(expected), device);
}

void TestDevice::setTemplateAlwaysSignals()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    QSignalSpy changed(device.get(), &Device::deviceTemplateChanged);
    device->setTemplate(QStringLiteral("General"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().at(0).toString(), QStringLiteral("General"));
}

void TestDevice::concurrentUseLosesNothing()
{
    // A polling thread logs and counts while the GUI thread edits, renames and readdresses the
    // same device: every change of each thread lands, and nothing is read half-written.
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    constexpr int Rounds = 20000;
    const auto use = [&device](const QString &who, int i) {
        device->setParameter(QStringLiteral("%1_%2").arg(who).arg(i % 16), i);
        device->incrementModifyCount();
    };
    std::promise<void> pollerRunning;
    std::thread poller([&] {
        pollerRunning.set_value();
        for (int i = 0; i < Rounds; ++i) {
            use(QStringLiteral("poll"), i);
            device->logMessage(device->key());
        }
    });
    pollerRunning.get_future().wait();
    for (int i = 0; i < Rounds; ++i) {
        use(QStringLiteral("edit"), i);
        device->appendLogLine(QStringLiteral("edit"));
        device->setAddress(i % 64);
        device->setName(QStringLiteral("D%1").arg(i));
    }
    poller.join();
    QCOMPARE(device->parameterInt(QStringLiteral("modify_count")), 2 * Rounds);
    QCOMPARE(device->parameters().size(), 2 * 16 + 1);
    QCOMPARE(device->logLines().size(), Device::DefaultLogLineLimit);
    QCOMPARE(device->address(), (Rounds - 1) % 64);
}

void TestDevice::unitText_data()
{
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("classification");
    QTest::addColumn<QString>("expected");
    QTest::newRow("degrees Celsius") << 32 << 0 << QStringLiteral("°C");
    QTest::newRow("degrees with any classification") << 32 << 97 << QStringLiteral("°C");
    QTest::newRow("pH") << 59 << 64 << "pH";
    QTest::newRow("kPa") << 12 << 0 << "kPa";
    QTest::newRow("MPa") << 237 << 0 << "MPa";
    QTest::newRow("only the low byte counts") << 256 + 32 << 0 << QStringLiteral("°C");
    QTest::newRow("170 turbidity") << 170 << 97 << "FNU";
    QTest::newRow("171 turbidity") << 171 << 97 << "FTU";
    QTest::newRow("172 turbidity") << 172 << 97 << "NTU";
    QTest::newRow("173 turbidity") << 173 << 97 << "";
    QTest::newRow("170 mass per volume") << 170 << 73 << "mg/l";
    QTest::newRow("170 resistance") << 170 << 85 << "MOm";
    QTest::newRow("171 resistance") << 171 << 85 << "";
    QTest::newRow("170 unclassified") << 170 << 0 << "?";
    QTest::newRow("219 unclassified") << 219 << 64 << "?";
    QTest::newRow("code 0") << 0 << 0 << "?";
    QTest::newRow("gap in the table") << 3 << 0 << "?";
    QTest::newRow("code 33") << 33 << 0 << "?";
    QTest::newRow("above the table") << 238 << 0 << "?";
}

void TestDevice::unitText()
{
    QFETCH(int, unit);
    QFETCH(int, classification);
    QFETCH(QString, expected);
    QCOMPARE(Device::unitText(unit, classification), expected);
}

void TestDevice::otherTables_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("family reserved low") << "family" << 2 << "Reserved";
    QTest::newRow("family pH") << "family" << 8 << "pH";
    QTest::newRow("family gap") << "family" << 15 << "?";
    QTest::newRow("family reserved high") << "family" << 200 << "Reserved";
    QTest::newRow("family not used") << "family" << 250 << "Not Used";
    QTest::newRow("family top") << "family" << 251 << "?";
    QTest::newRow("classification none") << "classification" << 0 << "Not Classified";
    QTest::newRow("classification reserved") << "classification" << 63 << "Reserved";
    QTest::newRow("classification gap") << "classification" << 96 << "?";
    QTest::newRow("classification turbidity") << "classification" << 97 << "Turbidity";
    QTest::newRow("classification not used") << "classification" << 250 << "Not used";
    QTest::newRow("status good") << "status" << 0xC0 << "Good | Not Limited";
    QTest::newRow("status bad constant") << "status" << 0x30 << "Bad | Constant";
    QTest::newRow("status low bits ignored") << "status" << 0x5F << "Poor Accuracy | Low Limited";
    QTest::newRow("status manual high") << "status" << 0xA0 << "Manual/Fixed | High Limited";
    QTest::newRow("alarm high") << "alarm" << 0 << "High";
    QTest::newRow("alarm maker") << "alarm" << 245 << "Manufacturer Specific";
    QTest::newRow("alarm unknown code") << "alarm" << 254 << "?";
    QTest::newRow("alarm hold") << "alarm" << 239 << "Hold Last Output Value";
}

void TestDevice::otherTables()
{
    QFETCH(QString, table);
    QFETCH(int, code);
    QFETCH(QString, expected);
    QString text;
    if (table == QLatin1String("family"))
        text = Device::familyText(code);
    else if (table == QLatin1String("classification"))
        text = Device::classificationText(code);
    else if (table == QLatin1String("status"))
        text = Device::variableStatusText(code);
    else
        text = Device::alarmSelectionText(code);
    QCOMPARE(text, expected);
}

// Every code of every text table, in the program's default language: each text is Russian
// unless it is a symbol that stays as it is.
void TestDevice::textTablesHaveRussian()
{
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
    const QStringList kept = QStringLiteral("?||°C|pH|%|ppm|ppb|bbls|FNU|FTU|NTU").split(QLatin1Char('|'));
    QStringList english;
    const auto check = [&](const QString &text) {
        for (const QString &part : text.split(QStringLiteral(" | "))) {
            if (!part.contains(cyrillic) && !kept.contains(part))
                english.append(part);
        }
    };
    for (int code = 0; code < 256; ++code) {
        for (const int classification : {0, 73, 85, 97})
            check(Device::unitText(code, classification));
        check(Device::familyText(code));
        check(Device::classificationText(code));
        check(Device::variableStatusText(code));
        check(Device::alarmSelectionText(code));
    }
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("General")));
    device->setStateFlags(0x1E);
    check(device->valueSourceText().replace(QStringLiteral(" / "), QStringLiteral(" | ")));
    english.removeDuplicates();
    QVERIFY2(english.isEmpty(), qPrintable(english.join(QLatin1Char(','))));
    QCOMPARE(Device::classificationText(65), QStringLiteral("Давление"));
    QCOMPARE(Device::unitText(12, 65), QStringLiteral("кПа"));
}

void TestDevice::unitsFromParameters()
{
    std::unique_ptr<Device> device(m_port->createDevice(QStringLiteral("Acivel-M")));
    QCOMPARE(device->pvUnitText(), QStringLiteral("?"));
    device->setParameter(QStringLiteral("SV_unit_code"), 170);
    device->setParameter(QStringLiteral("SV_class_code"), qlonglong(97));
    QCOMPARE(device->svUnitText(), QStringLiteral("FNU"));
    device->setParameter(QStringLiteral("calibrate_unit_code"), 170);
    QCOMPARE(device->calibrateUnitText(), QStringLiteral("?"));
    QVERIFY(!device->hasParameter(QStringLiteral("PV_unit_code")));
}

void TestDevice::pHMeterStatusText_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no bits") << 0x00 << "";
    QTest::newRow("only unrelated bits") << 0xF0 << "";
    QTest::newRow("short circuit") << 0x01 << "Temperature sensor short circuit.\n";
    QTest::newRow("two bits in order")
        << 0x0A << "Temperature sensor not connected. \nS is out of range. \n";
}

void TestDevice::pHMeterStatusText()
{
    QFETCH(int, code);
    QFETCH(QString, expected);
    std::unique_ptr<Device> meter(m_port->createDevice(QStringLiteral("Acivel-M")));
    std::unique_ptr<Device> general(m_port->createDevice(QStringLiteral("General")));
    QCOMPARE(meter->deviceSpecificStatusText(code), expected);
    QCOMPARE(general->deviceSpecificStatusText(code), QString());
}

void TestDevice::rename_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("keepOld");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("finalName");
    QTest::newRow("free name is taken") << QStringLiteral("Boiler") << false << true << QStringLiteral("Boiler");
    QTest::newRow("keep-old only checks") << QStringLiteral("Boiler") << true << true << QStringLiteral("Device1");
    QTest::newRow("empty name refused") << QString() << false << false << QStringLiteral("Device1");
    QTest::newRow("sibling's name refused") << QStringLiteral("Other") << false << false << QStringLiteral("Device1");
}

void TestDevice::rename()
{
    QFETCH(QString, name);
    QFETCH(bool, keepOld);
    QFETCH(bool, result);
    QFETCH(QString, finalName);
    auto *device = new Device(m_port);
    m_port->insertChild(-1, device);
    auto *other = new Device(m_port);
    other->setName(QStringLiteral("Other"));
    m_port->insertChild(-1, other);
    QCOMPARE(device->rename(name, keepOld), result);
    QCOMPARE(device->name(), finalName);
}

void TestDevice::mergeFromReference_data()
{
    QTest::addColumn<QVariant>("ownAddress");
    QTest::addColumn<QVariant>("referenceAddress");
    QTest::addColumn<bool>("merged");
    const QByteArray address = QByteArray::fromHex("264e123456");
    QTest::newRow("same address merges") << QVariant(address) << QVariant(address) << true;
    QTest::newRow("other address") << QVariant(address) << QVariant(QByteArray::fromHex("264e000000")) << false;
    QTest::newRow("empty addresses") << QVariant(QByteArray()) << QVariant(QByteArray()) << false;
}

void TestDevice::mergeFromReference()
{
    QFETCH(QVariant, ownAddress);
    QFETCH(QVariant, referenceAddress);
    QFETCH(bool, merged);
    Device device(m_port);
    device.setParameter(QStringLiteral("address"), referenceAddress);
    device.setParameter(QStringLiteral("PV"), 1.0f);
    device.setParameter(QStringLiteral("tag"), QStringLiteral("OLD"));
    device.copyParametersToReference();
    device.removeParameter(QStringLiteral("PV"));
    device.setParameter(QStringLiteral("tag"), QStringLiteral("NEW"));
    device.setParameter(QStringLiteral("address"), ownAddress);

    QCOMPARE(device.mergeFromReference(), merged);
    QCOMPARE(device.hasParameter(QStringLiteral("PV")), merged);
    QCOMPARE(device.parameterString(QStringLiteral("tag")), QStringLiteral("NEW"));
}

void TestDevice::syncTimeoutsToPort_data()
{
    QTest::addColumn<int>("responseTimeout");
    QTest::addColumn<int>("byteTimeout");
    QTest::addColumn<int>("portResponse");
    QTest::addColumn<int>("portByte");
    QTest::newRow("positive values are copied") << 500 << 30 << 500 << 30;
    QTest::newRow("values below 1 fall back") << 0 << -4 << 370 << 50;
}

void TestDevice::syncTimeoutsToPort()
{
    QFETCH(int, responseTimeout);
    QFETCH(int, byteTimeout);
    QFETCH(int, portResponse);
    QFETCH(int, portByte);
    Device device(m_port);
    m_port->hartPort.setProperty("response_timeout", 111);
    device.setResponceTimeout(responseTimeout);
    device.setByteTimeout(byteTimeout);
    device.syncTimeoutsToPort();
    QCOMPARE(m_port->hartPort.property("response_timeout").toInt(), portResponse);
    QCOMPARE(m_port->hartPort.property("byte_timeout").toInt(), portByte);
}

void TestDevice::snapshotRestoresStateAndFlags()
{
    Device device(m_port);
    device.setTemplate(QStringLiteral("General"));
    device.setParameter(QStringLiteral("message"), QStringLiteral("FIRST"));
    device.setStateFlags(Device::StateReadFromDevice | Device::StateInitial);
    QVERIFY(!device.hasFirstSnapshot());
    device.takeFirstSnapshot();
    device.takeSecondSnapshot();
    QVERIFY(device.hasFirstSnapshot());

    device.setParameter(QStringLiteral("message"), QStringLiteral("SECOND"));
    device.setStateFlags(Device::StateChanged);
    QVERIFY(device.restoreFirstSnapshot());
    QCOMPARE(device.parameterString(QStringLiteral("message")), QStringLiteral("FIRST"));
    QCOMPARE(device.stateFlags(), Device::StateReadFromDevice | Device::StateInitial);
    QVERIFY(device.hasRedo());

    device.clearMeasureInfo();
    QVERIFY(!device.hasSecondSnapshot());
    QVERIFY(!device.restoreSecondSnapshot());

    // A restore while the device is polled keeps its polled mark until the poller ends.
    device.beginPolling();
    QVERIFY(device.restoreFirstSnapshot());
    QCOMPARE(device.stateFlags(), Device::StateReadFromDevice | Device::StateInitial | Device::StatePeriodicallyRequested);
    device.endPolling();
    QCOMPARE(device.stateFlags(), Device::StateReadFromDevice | Device::StateInitial);
}

void TestDevice::undoAndRedoOfLoad()
{
    Device device(m_port);
    device.setTemplate(QStringLiteral("General"));
    device.setParameter(QStringLiteral("message"), QStringLiteral("BEFORE"));
    QVariantMap loaded = device.save();
    loaded.insert(QStringLiteral("parameters"), QVariantMap{{QStringLiteral("message"), QStringLiteral("AFTER")}});
    QSignalSpy modified(&device, &ServerItem::modified);

    QVERIFY(device.loadWithUndo(loaded));
    QCOMPARE(device.parameterString(QStringLiteral("message")), QStringLiteral("AFTER"));
    QVERIFY(device.hasStateFlag(Device::StateChanged));
    QCOMPARE(modified.count(), 1);
    QVERIFY(device.hasUndo());

    QVERIFY(device.undo());
    QCOMPARE(device.parameterString(QStringLiteral("message")), QStringLiteral("BEFORE"));
    QVERIFY(!device.hasStateFlag(Device::StateChanged));
    QVERIFY(device.redo());
    QCOMPARE(device.parameterString(QStringLiteral("message")), QStringLiteral("AFTER"));
}

void TestDevice::loadKeepingSettings()
{
    Device *device = m_port->addDevice(QStringLiteral("Mine"), QStringLiteral("General"));
    device->setAddress(4);
    device->setComment(QStringLiteral("own comment"));
    const QString ownName = device->name();
    QVariantMap other = device->save();
    other.insert(QStringLiteral("polling_address"), 9);
    other.insert(QStringLiteral("comment"), QStringLiteral("their comment"));
    other.insert(QStringLiteral("parameters"), QVariantMap{{QStringLiteral("message"), QStringLiteral("THEIRS")}});

    QVERIFY(device->loadKeepingSettings(other));
    QCOMPARE(device->parameterString(QStringLiteral("message")), QStringLiteral("THEIRS"));
    QCOMPARE(device->address(), 4);
    QCOMPARE(device->comment(), QStringLiteral("own comment"));
    QCOMPARE(device->name(), ownName);
}

QTEST_GUILESS_MAIN(TestDevice)
#include "tst_device.moc"
