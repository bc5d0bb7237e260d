#include "devices/drumel/drumelwidget.h"
#include "editor/statuswidget.h"
#include "hartsimdrumelcommands.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"

#include <QApplication>
#include <QEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The pressure converter page against the simulated converter: the configuration read and
// write, the metrology wizard with its access code, the linearisation table and the
// temperature correction; every box is answered through the prompt seam.
class TestDrumelWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void builtWithEverySlotBound();
    void configurationRead_data();
    void configurationRead();
    void writeOrder_data();
    void writeOrder();
    void inputUnitRule_data();
    void inputUnitRule();
    void pollingLockRestoresWriteButton();
    void accessCode_data();
    void accessCode();
    void cancelledTaskLeavesNoMetrologyMode();
    void loopCurrentTrimEndsLocked();
    void zeroAndGain_data();
    void zeroAndGain();
    void sensorSave_data();
    void sensorSave();
    void linePoints_data();
    void linePoints();
    void savePoint_data();
    void savePoint();
    void temperatureWalk_data();
    void temperatureWalk();

private:
    void setSim(const QString &key, const QVariant &value);
    QList<int> commandsSent() const;
    QByteArray lastData(int command) const;
    void edit(const QString &change);
    void grant(QPushButton *start);

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    std::unique_ptr<PromptRecorder> m_prompts;
    Device *m_device = nullptr;
    std::unique_ptr<DrumelWidget> m_page;
};

void TestDrumelWidget::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimDrumelCommands::install(*m_sim);
    HartSimDevice converter = HartSimDrumelCommands::device(0);
    converter.values = QVariantMap{
        {"sensor_unit_code", 12}, {"sensor_range_max", 1600.0f}, {"sensor_range_min", 0.0f},
        {"range_unit_code", 12}, {"range_max", 100.0f}, {"range_min", 0.0f}, {"input_units", 12},
        {"calibrate_unit_code", 12}, {"line_points_count", 5}, {"decimal_point_position", 1},
        {"average_count", 4}, {"PV", 1.5f}, {"PV_unit_code", 12}, {"access_code", 1234.0f},
        {"temper_correction_mode", 1}, {"t1_correcton_value", -10.0f}, {"t2_correcton_value", 40.0f},
        {"line_point_pressure", 3.25f}};
    for (int point = 1; point <= 11; ++point)
        converter.values.insert(QStringLiteral("line_point_%1").arg(point), float(point * 10));
    m_sim->addDevice(converter);
    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("line"));
    QVERIFY(port->setSerialName(m_sim->portName()));
    port->hartPort.setProperty("response_timeout", 100);
    m_device = port->createDevice(QStringLiteral("Drumel-M"));
    port->insertChild(-1, m_device);
    m_prompts = std::make_unique<PromptRecorder>();
    m_page = std::make_unique<DrumelWidget>();
    m_page->setItem(m_device);
    m_page->showDeviceInfoInFields();
    m_page->onUpdateButtons(true);
    m_sim->clearRequests();
}

void TestDrumelWidget::cleanup()
{
    m_page.reset();
    m_prompts.reset();
    m_server.reset();
    m_sim.reset();
}

void TestDrumelWidget::setSim(const QString &key, const QVariant &value)
{
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.values.insert(key, value); });
}

QList<int> TestDrumelWidget::commandsSent() const
{
    QList<int> commands;
    const QList<HartSimRequest> requests = m_sim->requests();
    for (const HartSimRequest &request : requests)
        commands.append(request.command);
    return commands;
}

QByteArray TestDrumelWidget::lastData(int command) const
{
    const QList<HartSimRequest> requests = m_sim->requests();
    for (auto it = requests.crbegin(); it != requests.crend(); ++it) {
        if (it->command == command)
            return it->data;
    }
    return QByteArray("none");
}

// "objectName=value": a combo box takes the row carrying the value, a spin box the value.
void TestDrumelWidget::edit(const QString &change)
{
    const QStringList parts = change.split(QLatin1Char('='));
    QWidget *field = m_page->findChild<QWidget *>(parts.at(0));
    QVERIFY2(field, qPrintable(change));
    if (auto *combo = qobject_cast<QComboBox *>(field))
        combo->setCurrentIndex(combo->findData(parts.at(1).toInt()));
    else if (auto *spin = qobject_cast<QSpinBox *>(field))
        spin->setValue(parts.at(1).toInt());
    else if (auto *decimal = qobject_cast<QDoubleSpinBox *>(field))
        decimal->setValue(parts.at(1).toDouble());
}

void TestDrumelWidget::grant(QPushButton *start)
{
    start->click();
    m_page->dspnAdjustCode->setValue(1234);
    m_page->btnCheckCode->click();
}

void TestDrumelWidget::builtWithEverySlotBound()
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
        warnings.append(text);
    });
    DrumelWidget page;
    qInstallMessageHandler(previous);
    QCOMPARE(warnings.filter(QStringLiteral("No matching signal")), QStringList());
    QCOMPARE(page.tabMainWidget->count(), 6);
    QCOMPARE(page.stackedWidgetAdjust->currentIndex(), 0);
    QVERIFY(!page.btnReadCfgFromDevice->isEnabled());
}

void TestDrumelWidget::configurationRead_data()
{
    QTest::addColumn<int>("cutReply");
    QTest::addColumn<int>("reached");
    QTest::addColumn<bool>("writable");
    QTest::newRow("complete read enables writing") << 0 << 4 << true;
    QTest::newRow("135 failing keeps writing off") << 135 << 3 << false;
}

void TestDrumelWidget::configurationRead()
{
    QFETCH(int, cutReply);
    QFETCH(int, reached);
    QFETCH(bool, writable);
    if (cutReply)
        setSim(QStringLiteral("reply_length_%1").arg(cutReply), 2);
    QSignalSpy finished(m_page.get(), &DeviceWidget::show_final_message);
    m_page->btnReadCfgFromDevice->click();
    QCOMPARE(commandsSent(), QList<int>({14, 15, 135}));
    QCOMPARE(finished.last().first().toInt(), reached);
    edit(QStringLiteral("spnAverageCount=9"));
    QCOMPARE(m_page->btnWriteCfgInDevice->isEnabled(), writable);
}

void TestDrumelWidget::writeOrder_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QList<int>>("sent");
    QTest::addColumn<int>("rangeUnit"); // the unit command 35 carries, -1 where it is not sent
    QTest::newRow("free convertion by hand sends its range")
        << QStringList{"cmbInputUnits=251"} << QList<int>{44, 145, 15} << -1;
    QTest::newRow("range last, in the new units, then read back")
        << QStringList{"dspnRangeMax=50", "dspnRangeMin=10", "cmbInputUnits=7"} << QList<int>{44, 35, 15} << 7;
    QTest::newRow("range alone keeps its units")
        << QStringList{"dspnRangeMax=50"} << QList<int>{35} << 12;
    QTest::newRow("calibration units have no command here")
        << QStringList{"cmbCalibrateUnits=7", "spnAverageCount=9"} << QList<int>{134} << -1;
    // Its own button saves it: alone it gives the write nothing to send.
    QTest::newRow("calibration units alone leave writing off") << QStringList{"cmbCalibrateUnits=7"} << QList<int>{} << -1;
    QTest::newRow("maker commands in order")
        << QStringList{"dspnMaxIndication=90", "cmbDecimalPoint=3"} << QList<int>{133, 146} << -1;
}

void TestDrumelWidget::writeOrder()
{
    QFETCH(QStringList, edits);
    QFETCH(QList<int>, sent);
    m_page->btnReadCfgFromDevice->click();
    for (const QString &change : std::as_const(edits))
        edit(change);
    QCOMPARE(m_page->btnWriteCfgInDevice->isEnabled(), !sent.isEmpty());
    if (sent.isEmpty())
        return;
    m_sim->clearRequests();
    m_prompts->answerButton(QMessageBox::Yes);

    m_page->btnWriteCfgInDevice->click();
    QCOMPARE(commandsSent(), sent);
    QCOMPARE(m_prompts->requests.size(), 1);
    QFETCH(int, rangeUnit);
    if (rangeUnit >= 0)
        QCOMPARE(int(quint8(lastData(35).at(0))), rangeUnit);
}

void TestDrumelWidget::inputUnitRule_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("units");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("freeRange");
    QTest::addColumn<int>("page");
    QTest::newRow("free convertion shows the free range") << 12 << 251 << 0 << true << 0;
    QTest::newRow("a pressure unit hides it") << 251 << 237 << 3 << false << 1;
    QTest::newRow("an unknown unit changes nothing") << 251 << 99 << -1 << true << 0;
}

void TestDrumelWidget::inputUnitRule()
{
    QFETCH(int, before);
    QFETCH(int, units);
    QFETCH(int, row);
    QFETCH(bool, freeRange);
    QFETCH(int, page);
    m_device->setParameter(QStringLiteral("input_units"), before);
    m_page->showDeviceInfoInFields();
    m_device->setParameter(QStringLiteral("input_units"), units);
    m_device->clearStateFlags(Device::StateChanged);
    m_page->showDeviceInfoInFields();
    QCOMPARE(m_page->cmbInputUnits->currentIndex(), row);
    QCOMPARE(m_page->dspnMinInputForIndication->isEnabled(), freeRange);
    QCOMPARE(m_page->lbMaxForIndication->isHidden(), !freeRange);
    QCOMPARE(m_page->stackedWidget->currentIndex(), page);
    QVERIFY(!m_device->hasStateFlag(Device::StateChanged));
    // A language change keeps the row shown, none included.
    QEvent languageChange(QEvent::LanguageChange);
    QApplication::sendEvent(m_page.get(), &languageChange);
    QCOMPARE(m_page->cmbInputUnits->currentIndex(), row);
}

void TestDrumelWidget::pollingLockRestoresWriteButton()
{
    for (bool before : {true, false}) {
        m_page->btnWriteCfgInDevice->setEnabled(before);
        m_page->onStartPeriod(false);
        QVERIFY(!m_page->btnWriteCfgInDevice->isEnabled());
        QVERIFY(!m_page->tabAdjust->isEnabled());
        m_page->onStartPeriod(true);
        QCOMPARE(m_page->btnWriteCfgInDevice->isEnabled(), before);
        QVERIFY(m_page->tabAdjust->isEnabled());
    }
}

void TestDrumelWidget::accessCode_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QVariant>("answer");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("warning");
    QTest::newRow("granted") << 1234 << QVariant() << 2 << QString();
    QTest::newRow("granted whatever follows 80") << 1 << QVariant(QByteArray::fromHex("80FF00")) << 2 << QString();
    QTest::newRow("refused") << 1 << QVariant() << 1 << "Wrong security code (answer=40 00).";
    QTest::newRow("empty answer") << 1234 << QVariant(QByteArray()) << 1 << "Wrong security code (answer=).";
}

void TestDrumelWidget::accessCode()
{
    QFETCH(int, code);
    QFETCH(QVariant, answer);
    QFETCH(int, page);
    QFETCH(QString, warning);
    if (answer.isValid())
        setSim(QStringLiteral("reply_data_170"), answer);
    m_page->btnStartAdjust->click();
    m_page->dspnAdjustCode->setValue(code);
    m_page->btnCheckCode->click();
    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), page);
    QCOMPARE(m_page->btnSetFixedCurrent->isEnabled(), !warning.isEmpty());
    const QString shown = m_prompts->requests.isEmpty() ? QString() : m_prompts->requests.last().text;
    QCOMPARE(shown, warning);
}

void TestDrumelWidget::cancelledTaskLeavesNoMetrologyMode()
{
    m_page->btnReadCfgFromDevice->click();
    m_page->btnStartAdjust->click();
    m_page->btnCancelAdjust->click();
    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), 0);
    edit(QStringLiteral("spnAverageCount=9"));
    m_sim->clearRequests();
    m_prompts->answerButton(QMessageBox::Yes);
    m_page->btnWriteCfgInDevice->click();
    QCOMPARE(m_prompts->requests.size(), 1);
    QCOMPARE(m_prompts->requests.first().title, QStringLiteral("Changes"));
    QCOMPARE(commandsSent(), QList<int>{134});
}

void TestDrumelWidget::loopCurrentTrimEndsLocked()
{
    grant(m_page->btnStartAdjust);
    QVERIFY(m_sim->device(0).values.value(QStringLiteral("unlocked")).toBool());
    // A device check meanwhile leaves the open task where it is.
    m_page->onResetWidget();
    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), 2);
    m_page->btnSet4mA->click();
    QCOMPARE(m_page->dspn4mA->value(), 4.0);
    QVERIFY(m_page->btnAdjust4mA->isEnabled() && !m_page->btnAdjust20mA->isEnabled());
    m_page->dspn4mA->setValue(4.02);
    m_page->btnAdjust4mA->click();
    QCOMPARE(lastData(45), HartSimUniversalCommands::floatBytes(4.02f));

    m_page->btnCompleteAdjustCurrent->click();
    const HartSimDevice device = m_sim->device(0);
    QVERIFY(!device.values.value(QStringLiteral("unlocked")).toBool());
    QCOMPARE(device.values.value(QStringLiteral("fixed_current")).toFloat(), 0.0f);
    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), 0);
}

void TestDrumelWidget::zeroAndGain_data()
{
    QTest::addColumn<bool>("gain");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QVariant>("typed");   // none: no dialog; a number: typed; false: cancelled
    QTest::addColumn<QByteArray>("sent");  // "none" when nothing is adjusted
    QTest::addColumn<float>("pv");         // as the instrument answers it
    QTest::addColumn<bool>("moreStatus");  // the instrument reports more status
    QTest::newRow("zero confirmed") << false << int(QMessageBox::Yes) << QVariant() << QByteArray() << 1.5f << false;
    QTest::newRow("zero cancelled") << false << int(QMessageBox::Cancel) << QVariant() << QByteArray("none") << 1.5f << false;
    QTest::newRow("zero asked about a primary variable that is not a number names no number")
        << false << int(QMessageBox::Yes) << QVariant() << QByteArray() << float(qQNaN()) << false;
    QTest::newRow("gain at the primary variable asked about, though polling read NaN meanwhile")
        << true << int(QMessageBox::Yes) << QVariant() << HartSimUniversalCommands::floatBytes(1.5f) << 1.5f << false;
    QTest::newRow("gain at a typed value")
        << true << int(QMessageBox::No) << QVariant(2.5) << HartSimUniversalCommands::floatBytes(2.5f) << 1.5f << false;
    QTest::newRow("typed value cancelled") << true << int(QMessageBox::No) << QVariant(false) << QByteArray("none") << 1.5f << false;
    QTest::newRow("a primary variable that is not a number sends no gain and warns until dismissed")
        << true << int(QMessageBox::Yes) << QVariant() << QByteArray("none") << float(qQNaN()) << false;
    QTest::newRow("gain at the primary variable of an instrument that reports more status")
        << true << int(QMessageBox::Yes) << QVariant() << HartSimUniversalCommands::floatBytes(1.5f) << 1.5f << true;
}

void TestDrumelWidget::zeroAndGain()
{
    QFETCH(bool, gain);
    QFETCH(int, answer);
    QFETCH(QVariant, typed);
    QFETCH(QByteArray, sent);
    QFETCH(float, pv);
    QFETCH(bool, moreStatus);
    setSim(QStringLiteral("PV"), pv);
    if (moreStatus) {
        m_sim->updateDevice(0, [](HartSimDevice &d) {
            d.deviceStatus = 0x10;
            d.values.insert(QStringLiteral("additional_status"), QByteArray::fromHex("000000000000010000"));
        });
    }
    // The page's polling leaves NaN in the device while a question is open.
    m_prompts->whileAsked = [this] { m_device->setParameter(QStringLiteral("PV"), qQNaN()); };
    m_prompts->answerButton(QMessageBox::StandardButton(answer));
    if (typed.typeId() == QMetaType::Double)
        m_prompts->answerNumber(typed.toDouble());
    else if (typed.isValid())
        m_prompts->answerCancel();
    (gain ? m_page->btnAdjustGain : m_page->btnAdjustZero)->click();
    QCOMPARE(lastData(gain ? 142 : 43), sent);
    if (qIsNaN(pv) && !gain)
        QVERIFY(m_prompts->requests.first().text.contains(QLatin1String("value=---- ")));
    if (qIsNaN(pv) && gain) {
        QCOMPARE(m_prompts->requests.size(), 1);
        QCOMPARE(m_prompts->requests.first().kind, Prompt::Warning);
        QVERIFY(m_prompts->requests.first().text.contains(QLatin1String("not a number")));
    }
}

void TestDrumelWidget::sensorSave_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QList<int>>("sent");
    QTest::newRow("sensor number, then the rest") << QString() << QList<int>{49, 147};
    QTest::newRow("refused start sends nothing") << "busy" << QList<int>();
    QTest::newRow("no unit sends nothing") << "no unit" << QList<int>();
    QTest::newRow("a sensor bound answered as NaN sends nothing") << "unmeasured" << QList<int>();
}

void TestDrumelWidget::sensorSave()
{
    QFETCH(QString, obstacle);
    QFETCH(QList<int>, sent);
    if (obstacle == QLatin1String("unmeasured"))
        setSim(QStringLiteral("sensor_range_min"), qQNaN());
    grant(m_page->btnStartSensorParam);
    QCOMPARE(m_page->cmbSensorUnits->currentData().toInt(), 12);
    m_page->dspnSensorMax->setValue(1000);
    if (obstacle == QLatin1String("no unit"))
        m_page->cmbSensorUnits->setCurrentIndex(-1);
    if (obstacle == QLatin1String("busy"))
        m_page->startOperation(QStringLiteral("busy"), 1);
    m_sim->clearRequests();
    m_page->btnSaveSensorParam->click();
    QCOMPARE(commandsSent(), sent);
    if (!sent.isEmpty())
        QCOMPARE(m_sim->device(0).values.value(QStringLiteral("sensor_range_max")).toFloat(), 1000.0f);
}

void TestDrumelWidget::linePoints_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("thirdAnswer");   // empty: the transaction fails
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("complete");
    QTest::newRow("point 3 unreadable") << 5 << QByteArray() << 5 << false;
    QTest::newRow("point 3 answered for point 2") << 5 << QByteArray::fromHex("0241A00000") << 5 << false;
    QTest::newRow("cut at 11 points") << 20 << QByteArray::fromHex("0341F00000") << 11 << true;
    QTest::newRow("a point given as NaN shows dashes") << 5 << QByteArray::fromHex("037FC00000") << 5 << true;
}

void TestDrumelWidget::linePoints()
{
    QFETCH(int, count);
    QFETCH(QByteArray, thirdAnswer);
    QFETCH(int, rows);
    QFETCH(bool, complete);
    setSim(QStringLiteral("line_points_count"), count);
    m_sim->setHandler(148, [thirdAnswer](HartSimDevice &device, const QByteArray &request) {
        HartSimResponse response;
        const int point = quint8(request.at(0));
        response.data = request + HartSimUniversalCommands::floatBytes(device.values.value(QStringLiteral("line_point_%1").arg(point)).toFloat());
        if (point == 3)
            response.data = thirdAnswer;
        response.responseCode = point == 3 && thirdAnswer.isEmpty() ? 64 : 0;
        return response;
    });
    m_page->btnReadCfgFromDevice->click();
    m_sim->clearRequests();
    grant(m_page->btnStartLinePointAdjust);

    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), 3);
    QCOMPARE(commandsSent().count(148), qMin(count, 11));
    QCOMPARE(m_page->tableWidgetPoints->rowCount(), rows);
    QCOMPARE(m_page->tableWidgetPoints->item(2, 0) != nullptr, complete);
    if (complete)   // a point given as NaN shows as the dashes
        QCOMPARE(m_page->tableWidgetPoints->item(2, 0)->text().contains(u"----"), thirdAnswer.contains("\x7F\xC0"));
    QCOMPARE(m_page->tableWidgetPoints->item(3, 0)->text(), QStringLiteral("   40\t") + Device::unitText(12, 0));
    QCOMPARE(m_page->spnLinePoints->isEnabled(), complete);
    QCOMPARE(m_page->cmbCalibrateUnits->isEnabled(), complete);
    // The point editor offers no point beyond the table; stepped down from a count beyond the
    // table's points, the count box lands on their number, and the count written is what it shows.
    m_page->btnStartEditLinePoints->click();
    QCOMPARE(m_page->spnPoint->maximum(), rows);
    m_page->btnCompleteAdjustPoint->click();
    QTest::keyClick(m_page->spnLinePoints, Qt::Key_Down);
    const int stepped = !complete ? rows : (count > 11 ? 11 : count - 1);
    QCOMPARE(m_page->tableWidgetPoints->rowCount(), stepped);
    m_page->btnSetLinePointsCount->click();
    QCOMPARE(lastData(137), QByteArray(1, char(complete ? stepped : count)));
}

void TestDrumelWidget::savePoint_data()
{
    QTest::addColumn<float>("pressure");
    QTest::newRow("a measured pressure is saved") << 3.25f;
    QTest::newRow("a pressure the converter did not measure shows dashes and saves nothing") << float(qQNaN());
    QTest::newRow("nor does minus infinity") << -float(qInf());
}

void TestDrumelWidget::savePoint()
{
    QFETCH(float, pressure);
    setSim(QStringLiteral("line_point_pressure"), pressure);
    m_page->btnReadCfgFromDevice->click();
    grant(m_page->btnStartLinePointAdjust);
    m_page->btnStartEditLinePoints->click();
    m_page->spnPoint->setValue(2);
    QVERIFY(!m_page->btnAdjustLinePoint->isEnabled());
    m_page->btnGetPressure->click();
    QCOMPARE(m_page->btnAdjustLinePoint->isEnabled(), qIsFinite(pressure));
    if (!qIsFinite(pressure))
        return;
    QCOMPARE(m_page->dspnPressure->value(), 3.25);
    m_page->btnAdjustLinePoint->click();
    QCOMPARE(lastData(138), QByteArray::fromHex("02") + HartSimUniversalCommands::floatBytes(3.25f));
    QCOMPARE(m_page->tableWidgetPoints->item(1, 0)->text(), QStringLiteral("   3.25\t") + Device::unitText(12, 0));
}

void TestDrumelWidget::temperatureWalk_data()
{
    QTest::addColumn<QString>("moves");   // n: next, p: previous
    QTest::addColumn<QString>("buttons"); // prev, next, save shown
    QTest::newRow("set T1") << "" << "-n-";
    QTest::newRow("P1 at T1") << "n" << "pns";
    QTest::newRow("set T2") << "nnn" << "pn-";
    QTest::newRow("P2 at T2") << "nnnnn" << "p-s";
    QTest::newRow("back to set T1") << "np" << "-n-";
    QTest::newRow("P1 at a T1 the converter gave as NaN writes nothing") << "xn" << "pns";   // x: T1 is NaN
    QTest::newRow("P1 at a T1 beyond the walk's field writes that T1") << "hn" << "pns";   // h: T1 is 150 °C
    QTest::newRow("P1 at a T1 beyond the walk's field typed over writes what the field took") << "htn" << "pns";   // t: 120 typed
}

void TestDrumelWidget::temperatureWalk()
{
    QFETCH(QString, moves);
    QFETCH(QString, buttons);
    const bool noT1 = moves.startsWith(QLatin1Char('x')), hotT1 = moves.startsWith(QLatin1Char('h'));
    const bool typedT1 = moves.contains(QLatin1Char('t'));
    if (noT1 || hotT1)
        setSim(QStringLiteral("t1_correcton_value"), noT1 ? qQNaN() : 150.0);
    m_page->btnReadCfgFromDevice->click();
    grant(m_page->btnStartTemperAdjust);
    QCOMPARE(m_page->dspnCurrentT2->value(), 40.0);
    QVERIFY(m_page->btnAdjustT1T2->isEnabled());
    m_page->btnAdjustT1T2->click();
    if (typedT1) {   // over 150 shown in a field of -99 to 99
        m_page->dspnT1->selectAll();
        QTest::keyClicks(m_page->dspnT1, QStringLiteral("120"));
    }
    for (const QChar move : moves.remove(QLatin1Char('x')).remove(QLatin1Char('h')).remove(QLatin1Char('t')))
        (move == QLatin1Char('n') ? m_page->btnNext : m_page->btnPrev)->click();
    const QString shown = QString(m_page->btnPrev->isHidden() ? '-' : 'p') + (m_page->btnNext->isHidden() ? '-' : 'n')
                          + (m_page->btnSaveT1T2->isHidden() ? '-' : 's');
    QCOMPARE(shown, buttons);
    if (noT1) {
        QCOMPARE(m_page->lbP1T1->text(), QStringLiteral("in thermostat should be T1=---- °C"));
        m_page->btnSaveT1T2->click();
        QCOMPARE(lastData(141), QByteArray("none"));
    }
    if (hotT1) {
        const float t1 = typedT1 ? 12.0f : 150.0f;   // the third digit of 120 goes beyond the field
        QCOMPARE(m_page->lbP1T1->text(), QStringLiteral("in thermostat should be T1=%1 °C").arg(t1));
        m_page->btnSaveT1T2->click();
        QCOMPARE(lastData(141), QByteArray::fromHex("00") + HartSimUniversalCommands::floatBytes(t1));
    }
    if (moves != QLatin1String("nnnnn"))
        return;

    // The last point sends step 3 with T2; a temperature differing from the step's earlier one
    // is a notice, not a failure.
    setSim(QStringLiteral("temper_correction_3"), 39.0f);
    m_page->dspnT2->setValue(41);
    m_page->btnSaveT1T2->click();
    QCOMPARE(lastData(141), QByteArray::fromHex("03") + HartSimUniversalCommands::floatBytes(41.0f));
    QCOMPARE(m_prompts->requests.last().title, QStringLiteral("P2T2 correction saving"));
    QVERIFY(m_prompts->requests.last().text.endsWith(QStringLiteral("Prev = 40 °C - Current = 41 °C")));
}

QTEST_MAIN(TestDrumelWidget)
#include "tst_drumelwidget.moc"
