#include "editor/maindevicewidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"
#include "widgets/readout.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <functional>
#include <memory>

namespace {

// A device class whose maker commands 170 (access code) and 192 (manufacturer settings) reach
// the line; the answer to 170 is kept under "adjust_code" as bytes.
class ServiceDevice : public Device
{
public:
    explicit ServiceDevice(ServerItem *parent) : Device(parent) { setTemplate(QStringLiteral("General")); }

    bool writeDevice(int command) override
    {
        if (command != 170 && command != 192)
            return Device::writeDevice(command);
        const QByteArray request = command == 170
            ? HartSimUniversalCommands::floatBytes(parameterFloat(QStringLiteral("adjust_code")))
            : QByteArray(1, char(parameterInt(QStringLiteral("manufacturer_settings"))));
        QByteArray reply;
        if (write(QStringLiteral("service"), command, request, reply) != ResultSuccess)
            return false;
        if (command == 170)
            setParameter(QStringLiteral("adjust_code"), reply);
        return true;
    }
};

// The frame with fields as an editor registers them: both range ends on command 35, a unit
// combo on 44, the sensor number on 49, the device-variable units on 53.
class Frame : public MainDeviceWidget
{
public:
    Frame()
        : MainDeviceWidget(nullptr, nullptr)
    {
        statusWidget = new StatusWidget(this);
        pvWidget = new PVWidget(this, 1, false);
        addChildWidget(pvWidget, QStringLiteral("PV"));
        for (QDoubleSpinBox *range : {rangeMax, rangeMin})
            range->setRange(-1000, 1000);
        for (QComboBox *combo : {units, limitUnits}) {
            combo->addItem(QStringLiteral("degC"), 32);
            combo->addItem(QStringLiteral("degF"), 33);
        }
        const QList<std::tuple<const char *, QWidget *, int>> registry{
            {"range_max", rangeMax, 35}, {"range_min", rangeMin, 35}, {"input_units", units, 44},
            {"sensor_number", sensor, 49}, {"dev_variable_limits_unit_code", limitUnits, 53}};
        for (const auto &[key, field, command] : registry) {
            fields.insert(QLatin1String(key), field);
            writeCommands.insert(QLatin1String(key), command);
        }
    }

    // Shows the registered fields (so a person's edit marks them), then edits some of them.
    void edit(const QStringList &keys)
    {
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            showDeviceInfoInField(it.key(), it.value(), true);
        for (const QString &key : keys) {
            if (auto *combo = qobject_cast<QComboBox *>(fields.value(key)))
                combo->setCurrentIndex(1);
            else if (auto *spin = qobject_cast<QSpinBox *>(fields.value(key)))
                spin->setValue(7);
            else if (auto *doubleSpin = qobject_cast<QDoubleSpinBox *>(fields.value(key)))
                doubleSpin->setValue(doubleSpin->value() + 10.0);
        }
    }
    QStringList modified() const
    {
        QStringList keys = modifiedKeys.values();
        keys.sort();
        return keys;
    }
    QString outcome() const { return statusWidget->lbError->text(); }
    bool refreshAfterWrite() override
    {
        ++refreshes;
        return true;
    }
    void finishAdjust() override { ++adjustFinishes; }

    using MainDeviceWidget::adjustMode;
    QDoubleSpinBox *rangeMax = new QDoubleSpinBox(this);
    QDoubleSpinBox *rangeMin = new QDoubleSpinBox(this);
    QComboBox *units = new QComboBox(this);
    QSpinBox *sensor = new QSpinBox(this);
    QComboBox *limitUnits = new QComboBox(this);
    int refreshes = 0;
    int adjustFinishes = 0;
};

const QString UnitsKey = QStringLiteral("input_units");
const QString SensorKey = QStringLiteral("sensor_number");
const QString LimitUnitsKey = QStringLiteral("dev_variable_limits_unit_code");

} // namespace

// The editor frame against the simulated device: the log relay, the write list, the write run,
// and the service operations with their questions and the leaving of metrology mode.
class TestMainDeviceWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rebindingRelaysOnlyTheNewDevice();
    void writeList_data();
    void writeList();
    void writeRun_data();
    void writeRun();
    void serviceRequests_data();
    void serviceRequests();

private:
    QList<int> sentCommands() const;

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Device *m_device = nullptr;
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<Frame> m_frame;
};

void TestMainDeviceWidget::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimDevice simDevice(0);
    simDevice.values.insert(QStringLiteral("PV"), 12.3456f);
    simDevice.values.insert(QStringLiteral("range_max"), 150.0f);
    simDevice.values.insert(QStringLiteral("range_min"), -50.0f);
    m_sim->addDevice(simDevice);
    for (quint8 command : {quint8(170), quint8(192)}) {
        m_sim->setHandler(command, [](HartSimDevice &, const QByteArray &request) {
            HartSimResponse response;
            response.data = request;
            return response;
        });
    }
    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(port->setSerialName(m_sim->portName()));
    port->hartPort.setProperty("response_timeout", 100);
    m_device = new ServiceDevice(port);
    port->insertChild(-1, m_device);
    m_prompts = std::make_unique<PromptRecorder>();
    m_prompts->defaultAnswer.button = QMessageBox::Yes;
    m_frame = std::make_unique<Frame>();
    m_frame->setItem(m_device);
}

void TestMainDeviceWidget::cleanup()
{
    m_frame.reset();
    m_prompts.reset();
    m_server.reset();
    m_sim.reset();
}

QList<int> TestMainDeviceWidget::sentCommands() const
{
    QList<int> commands;
    for (const HartSimRequest &request : m_sim->requests())
        commands << request.command;
    return commands;
}

void TestMainDeviceWidget::rebindingRelaysOnlyTheNewDevice()
{
    Device *second = new ServiceDevice(m_device->port());
    m_device->port()->insertChild(-1, second);
    QSignalSpy log(m_frame.get(), &MainDeviceWidget::appendLogMessage);
    QSignalSpy serialName(m_frame.get(), &DeviceWidget::serialNameChanged);
    m_frame->setItem(second);
    m_frame->setItem(second);
    m_device->logMessage(QStringLiteral("first"));
    second->logMessage(QStringLiteral("second"));
    QCOMPARE(log.count(), 1);
    QCOMPARE(log.first().at(1).toString(), QStringLiteral("second"));
    emit second->port()->serialNameChanged();
    QCOMPARE(serialName.count(), 1);
}

void TestMainDeviceWidget::writeList_data()
{
    QTest::addColumn<QStringList>("edited");
    QTest::addColumn<int>("adjustMode");
    QTest::addColumn<bool>("writeProtected");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("unitsDisabled");
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<QString>("question");
    const QStringList all{LimitUnitsKey, QStringLiteral("range_max"), UnitsKey, SensorKey, QStringLiteral("range_min")};
    const QList<int> sorted{44, 49, 53, 35};
    QTest::newRow("each command once, range last") << all << 7 << false << true << false << sorted << "Changes";
    QTest::newRow("write-protected device") << all << 7 << true << true << false << QList<int>() << "Write changes to device";
    QTest::newRow("question declined") << all << 7 << false << false << false << QList<int>() << "Changes";
    QTest::newRow("metrology mode leaves it first") << all << 3 << false << true << false << sorted << "Adjustment";
    QTest::newRow("disabled combo box keeps its command, not its value")
        << QStringList{UnitsKey} << 7 << false << true << true << QList<int>{44} << "Changes";
}

void TestMainDeviceWidget::writeList()
{
    QFETCH(QStringList, edited);
    QFETCH(int, adjustMode);
    QFETCH(bool, writeProtected);
    QFETCH(bool, confirmed);
    QFETCH(bool, unitsDisabled);
    QFETCH(QList<int>, commands);
    QFETCH(QString, question);
    m_frame->edit(edited);
    m_frame->units->setEnabled(!unitsDisabled);
    m_frame->adjustMode = adjustMode;
    m_device->setParameter(QStringLiteral("write_protection"), writeProtected ? 1 : 0);
    m_prompts->answerButton(confirmed ? QMessageBox::Yes : QMessageBox::Cancel);

    QCOMPARE(m_frame->getWriteFunctionsList(), commands);
    QCOMPARE(m_prompts->requests.size(), 1);
    QCOMPARE(m_prompts->requests.first().title, question);
    QCOMPARE(m_frame->adjustFinishes, adjustMode != 7 && confirmed ? 1 : 0);
    QCOMPARE(m_frame->modified().size(), edited.size());   // nothing is written yet
    const bool copied = !commands.isEmpty() && !unitsDisabled;
    QCOMPARE(m_device->parameter(UnitsKey).toInt() == 33, copied);
}

void TestMainDeviceWidget::writeRun_data()
{
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<int>("failing");
    QTest::addColumn<QList<int>>("sent");
    QTest::addColumn<int>("reached");
    QTest::addColumn<int>("refreshes");
    QTest::addColumn<QStringList>("stillModified");
    QTest::addColumn<int>("changedSignals");
    const QList<int> three{44, 49, 53};
    // A failure's one changed() comes from finishing an operation whose device counted an error.
    QTest::newRow("middle command fails") << three << 49 << QList<int>{44, 49} << 1 << 0
                                          << QStringList{LimitUnitsKey, SensorKey} << 1;
    QTest::newRow("all written, then refreshed") << three << -1 << three << 4 << 1 << QStringList() << 1;
    QTest::newRow("nothing to write is no failure") << QList<int>() << -1 << QList<int>() << 0 << 0
                                                    << QStringList{LimitUnitsKey, UnitsKey, SensorKey} << 0;
}

void TestMainDeviceWidget::writeRun()
{
    QFETCH(QList<int>, commands);
    QFETCH(int, failing);
    QFETCH(QList<int>, sent);
    QFETCH(int, reached);
    QFETCH(int, refreshes);
    QFETCH(QStringList, stillModified);
    QFETCH(int, changedSignals);
    m_frame->edit({UnitsKey, SensorKey, LimitUnitsKey});
    if (failing > 0) {
        m_sim->setHandler(quint8(failing), [](HartSimDevice &, const QByteArray &) {
            HartSimResponse response;
            response.responseCode = 7;
            return response;
        });
    }
    QSignalSpy finished(m_frame.get(), &DeviceWidget::show_final_message);
    QSignalSpy changed(m_frame.get(), &DeviceWidget::changed);

    m_frame->writeConfiguration(commands, true);
    QCOMPARE(sentCommands(), sent);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.first().first().toInt(), reached);
    QCOMPARE(m_frame->refreshes, refreshes);
    QCOMPARE(m_frame->modified(), stillModified);
    QCOMPARE(changed.count(), changedSignals);
    QVERIFY2(m_frame->outcome().contains(failing > 0 ? QLatin1String("with errors") : QLatin1String("successfully")),
             qPrintable(m_frame->outcome()));
}

void TestMainDeviceWidget::serviceRequests_data()
{
    using Operation = std::function<void(Frame &)>;
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QByteArray>("answer170");   // the device's answer to the access code
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<QByteArray>("lastData");
    QTest::addColumn<QString>("prompt");         // part of the one question or warning shown
    const auto floatData = &HartSimUniversalCommands::floatBytes;
    const auto leaveAdjustment = [](int mode, bool left) {
        return Operation([mode, left](Frame &f) {
            f.adjustMode = mode;
            QCOMPARE(f.completeAdjust(), left);
            QCOMPARE(f.adjustMode, left ? 7 : mode);
        });
    };
    const QByteArray none;
    // A number typed or stepped into a field showing no value takes its place and is written.
    const auto fromNoValue = [](int key) {
        return Operation([key](Frame &f) {
            f.edit({});
            Readout::show(f.sensor, qQNaN());
            f.sensor->selectAll();
            QTest::keyClick(f.sensor, Qt::Key(key));
            QFocusEvent leave(QEvent::FocusOut);   // as when a button is clicked
            QCoreApplication::sendEvent(f.sensor, &leave);
            QVERIFY(f.sensor->text() != QLatin1String("----"));
            f.writeConfiguration(f.getWriteFunctionsList(), false);
        });
    };
    QTest::newRow("a number typed in place of no value is written, the minimum too")
        << fromNoValue(Qt::Key_0) << true << none << QList<int>{49} << floatData(0.0f).left(3) << "save your changes";
    QTest::newRow("so is one stepped up from no value")
        << fromNoValue(Qt::Key_Up) << true << none << QList<int>{49} << QByteArray::fromHex("000001") << "save your changes";
    QTest::newRow("no trim from a current the device gave no value for") << Operation([](Frame &f) {
        Readout::show(f.rangeMin, qQNaN());
        f.onAdjust4mA_clicked(f.rangeMin);
    }) << true << none << QList<int>() << none << "gave no value";
    QTest::newRow("nor a fixed current") << Operation([](Frame &f) {
        Readout::show(f.rangeMin, qQNaN());
        f.setFixedCurrentFrom(f.rangeMin);
    }) << true << none << QList<int>() << none << "gave no value";
    QTest::newRow("upper range from PV") << Operation(&Frame::saveRangeMaxByPV) << true << none << QList<int>{3, 36, 15}
                                         << none << "value=12.346 ";
    QTest::newRow("lower range from PV") << Operation(&Frame::saveRangeMinByPV) << true << none << QList<int>{3, 37, 15}
                                         << none << "as Lower Range Value";
    QTest::newRow("range question cancelled") << Operation(&Frame::saveRangeMaxByPV) << false << none << QList<int>{3}
                                              << none << "Upper Range";
    QTest::newRow("fixed current") << Operation([](Frame &f) { f.setFixedCurrent(12.5f); }) << true << none
                                   << QList<int>{40} << floatData(12.5f) << QString();
    QTest::newRow("4 mA trim") << Operation([](Frame &f) {
        f.rangeMin->setValue(4.25);
        f.onAdjust4mA_clicked(f.rangeMin);
    }) << true << none << QList<int>{45} << floatData(4.25f) << QString();
    QTest::newRow("20 mA trim") << Operation([](Frame &f) { f.onAdjust20mA_clicked(f.rangeMax); }) << true << none
                                << QList<int>{46} << floatData(0.0f) << QString();
    QTest::newRow("save manufacturer settings") << Operation(&Frame::on_btnSaveManufacturerSettings_clicked) << true
                                                << none << QList<int>{192} << QByteArray(1, '\x01') << "save current";
    QTest::newRow("restore cancelled") << Operation(&Frame::on_btnRestoreManufacturerSettings_clicked) << false << none
                                       << QList<int>() << none << "restore manufacturer";
    QTest::newRow("leaving current adjustment releases the current")
        << leaveAdjustment(3, true) << true << QByteArray(4, '\0') << QList<int>{170, 40} << floatData(0.0f) << QString();
    QTest::newRow("leaving another mode sends the code only")
        << leaveAdjustment(5, true) << true << none << QList<int>{170} << floatData(0.0f) << QString();
    QTest::newRow("unknown answer keeps the mode") << leaveAdjustment(3, false) << true << QByteArray(1, '\x80')
                                                   << QList<int>{170} << floatData(0.0f) << "Unknown answer code (80).";
}

void TestMainDeviceWidget::serviceRequests()
{
    using Operation = std::function<void(Frame &)>;
    QFETCH(Operation, operation);
    QFETCH(bool, confirmed);
    QFETCH(QByteArray, answer170);
    QFETCH(QList<int>, commands);
    QFETCH(QByteArray, lastData);
    QFETCH(QString, prompt);
    if (!answer170.isNull()) {
        m_sim->setHandler(170, [answer170](HartSimDevice &, const QByteArray &) {
            HartSimResponse response;
            response.data = answer170;
            return response;
        });
    }
    m_prompts->defaultAnswer.button = confirmed ? QMessageBox::Yes : QMessageBox::Cancel;
    QSignalSpy operations(m_frame.get(), &DeviceWidget::init_progress_bar);

    operation(*m_frame);
    QCOMPARE(sentCommands(), commands);
    if (!lastData.isNull())
        QCOMPARE(m_sim->requests().last().data, lastData);
    QCOMPARE(m_prompts->requests.size(), prompt.isEmpty() ? 0 : 1);
    if (!prompt.isEmpty())
        QVERIFY2(m_prompts->requests.first().text.contains(prompt), qPrintable(m_prompts->requests.first().text));
    if (commands.size() == 3) {   // the range end read back is shown in its field
        QCOMPARE(m_frame->rangeMax->value() + m_frame->rangeMin->value(), commands.at(1) == 36 ? 150.0 : -50.0);
    }
    if (commands.value(0) == 170)   // one operation per transaction
        QCOMPARE(operations.count(), commands.size());
}

QTEST_MAIN(TestMainDeviceWidget)
#include "tst_maindevicewidget.moc"
