#include "core/appsettings.h"
#include "devices/acivel/acivelwidget.h"
#include "editor/commonwidget.h"
#include "editor/pvwidget.h"
#include "hartsimacivelcommands.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "measure/measurewidget.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"
#include "tempworkdir.h"

#include <QApplication>
#include <QTest>
#include <QTranslator>

#include <limits>
#include <memory>

namespace {

constexpr float AccessCode = 1234.0f;
constexpr int GraduationPeriodMs = 2100;   // the page polls the meter this often while it graduates
const QString Nan = QStringLiteral("nan");

QColor textColour(const QWidget *field)
{
    return field->palette().color(QPalette::Text);
}

QByteArray floats(std::initializer_list<float> values)
{
    QByteArray bytes;
    for (const float value : values)
        bytes += HartSimUniversalCommands::floatBytes(value);
    return bytes;
}

} // namespace

// The pH meter's editor page over the simulated meter, with its boxes answered by the recorder.
class TestAcivelWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pages();
    void configurationRead_data();
    void configurationRead();
    void writeSendsEditedCommands_data();
    void writeSendsEditedCommands();
    void inputModes_data();
    void inputModes();
    void electrodeCautionAndLanguage();
    void liveGraduationValues_data();
    void liveGraduationValues();
    void graduationRun_data();
    void graduationRun();
    void pollersShareTheLock();
    void accessCode_data();
    void accessCode();
    void cancelAfterLostGrantAnswerLocks();
    void taskRequests_data();
    void taskRequests();
    void completeAndReset_data();
    void completeAndReset();

private:
    QList<int> commandsSince(int first) const;
    void grant(QPushButton *startButton);
    void startPoint1();

    std::unique_ptr<TempWorkDir> m_work;
    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Device *m_device = nullptr;
    std::unique_ptr<PromptRecorder> m_prompts;
    std::unique_ptr<AcivelWidget> m_page;
};

void TestAcivelWidget::initTestCase()
{
    m_work = std::make_unique<TempWorkDir>();
    AppSettings::instance();
}

void TestAcivelWidget::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimAcivelCommands::install(*m_sim);
    HartSimDevice meter = HartSimAcivelCommands::device();
    meter.values.insert({{QStringLiteral("access_code"), AccessCode}, {QStringLiteral("steepness"), 98.5f},
                         {QStringLiteral("indicate_range_min"), 2.0f}, {QStringLiteral("indicate_range_max"), 12.0f},
                         {QStringLiteral("range_unit_code"), 59}, {QStringLiteral("range_max"), 14.0f},
                         {QStringLiteral("sensor_unit_code"), 59}, {QStringLiteral("adjust_U_p2"), 400.0f}});
    // Temperature, EMF and pH for the graduation; Rc, U and Rt for the input adjustment.
    const QList<std::pair<int, float>> variables{{1, 25.0f}, {2, 10.0f}, {4, 100.0f}, {5, 110.0f}, {6, 7.0f}};
    for (const auto &[code, value] : variables) {
        meter.values.insert(QStringLiteral("variable_%1_value").arg(code), value);
        meter.values.insert(QStringLiteral("variable_%1_unit_code").arg(code), code == 6 ? 59 : 36);
    }
    m_sim->addDevice(meter);

    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(port->setSerialName(m_sim->portName()));
    port->hartPort.setProperty("response_timeout", 100);
    port->hartPort.setProperty("byte_timeout", 20);
    m_device = port->createDevice(QStringLiteral("Acivel-M"));
    port->insertChild(-1, m_device);

    m_prompts = std::make_unique<PromptRecorder>();
    m_prompts->defaultAnswer.button = QMessageBox::Yes;
    m_page = std::make_unique<AcivelWidget>(nullptr);
    m_page->setItem(m_device);
    m_page->showDeviceInfoInFields();
    m_page->onUpdateButtons(true);
}

void TestAcivelWidget::cleanup()
{
    m_page.reset();
    m_prompts.reset();
    m_server.reset();
    m_sim.reset();
}

QList<int> TestAcivelWidget::commandsSince(int first) const
{
    QList<int> commands;
    const QList<HartSimRequest> requests = m_sim->requests();
    for (int i = first; i < requests.size(); ++i)
        commands << requests.at(i).command;
    return commands;
}

void TestAcivelWidget::grant(QPushButton *startButton)
{
    startButton->click();
    m_page->dspnAdjustCode->setValue(AccessCode);
    m_page->btnCheckCode->click();
    QVERIFY(m_page->isAdjustGranted());
}

void TestAcivelWidget::startPoint1()
{
    m_page->btnStartGraduation->click();
    m_page->btnStartPoint_1->click();
    QTRY_COMPARE(m_page->txtU_p1->text(), QStringLiteral("100.00 mV"));
}

void TestAcivelWidget::pages()
{
    QStringList titles;
    for (int i = 0; i < m_page->tabMainWidget->count(); ++i)
        titles << m_page->tabMainWidget->tabText(i);
    QCOMPARE(titles, (QStringList{QStringLiteral("Текущее состояние"), QStringLiteral("Конфигурация"),
                                  QStringLiteral("Градуировка"), QStringLiteral("Метрология"),
                                  QStringLiteral("Measurement"), QStringLiteral("Hart Log"), QStringLiteral("Custom")}));
    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), 0);
    auto *pv = m_page->findChild<PVWidget *>();
    QVERIFY(pv->findChild<QLabel *>(QStringLiteral("lbTVTitle"))->isVisibleTo(pv));
    QVERIFY(!pv->findChild<QLabel *>(QStringLiteral("lbQVTitle"))->isVisibleTo(pv));
    QCOMPARE(m_page->findChild<MeasureWidget *>()->variableMode(), 3);
    auto *common = m_page->findChild<CommonWidget *>();
    QCOMPARE(common->expectedManufacturerCode, 0xE0);
    QCOMPARE(common->expectedDeviceTypeCode, 0x94);
}

void TestAcivelWidget::configurationRead_data()
{
    QTest::addColumn<int>("failing");
    QTest::addColumn<bool>("complete");
    QTest::newRow("all reads succeed") << 0 << true;
    QTest::newRow("electrode parameters fail") << 130 << false;
    QTest::newRow("indication range fails") << 140 << false;
    QTest::newRow("range fails") << 15 << false;
}

void TestAcivelWidget::configurationRead()
{
    QFETCH(int, failing);
    QFETCH(bool, complete);
    if (failing) {
        m_sim->setHandler(quint8(failing), [](HartSimDevice &, const QByteArray &) {
            HartSimResponse notImplemented;
            notImplemented.responseCode = 64;
            return notImplemented;
        });
    }
    const double formMaximum = m_page->dspnMaxIndication->value();
    m_page->btnReadCfgFromDevice->click();
    QCOMPARE(commandsSince(0), (QList<int>{130, 134, 140, 150, 152, 14, 15}));
    const QString outcome = m_page->findChild<QLabel *>(QStringLiteral("lbError"))->text();
    QCOMPARE(outcome.contains(QLatin1String("completed successfully")), complete);
    QCOMPARE(m_page->dspnS->value(), failing == 130 ? 100.0 : 98.5);
    QCOMPARE(m_page->dspnMaxIndication->value(), failing == 140 ? formMaximum : 12.0);
    QCOMPARE(m_page->lbUnitMinRange->text() == QLatin1String("pH"), failing != 15);
    // Only a complete read lets an edit be written.
    QVERIFY(!m_page->btnWriteCfgInDevice->isEnabled());
    m_page->dspnEi->setValue(12.0);
    QCOMPARE(m_page->btnWriteCfgInDevice->isEnabled(), complete);
}

void TestAcivelWidget::writeSendsEditedCommands_data()
{
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<QByteArray>("indicationRange");
    QTest::addColumn<QVariantMap>("meter");   // values the meter answers
    QTest::newRow("steepness, manual temperature and range minimum")
        << QList<int>{131, 135, 35, 14, 15} << QByteArray() << QVariantMap();
    QTest::newRow("one indication bound sends the other as read")
        << QList<int>{141} << floats({2.0f, 11.5f}) << QVariantMap();
    QTest::newRow("beside an Ei the meter gave as NaN nothing is sent")
        << QList<int>{} << QByteArray() << QVariantMap{{"ei_isopotential_point", qQNaN()}};
    QTest::newRow("a pHi given as NaN does not hold back a millivolt mode") << QList<int>{131, 135, 35, 14, 15}
        << QByteArray() << QVariantMap{{"input_units", 2}, {"phi_isopotential_point", qQNaN()}};
}

void TestAcivelWidget::writeSendsEditedCommands()
{
    QFETCH(QList<int>, commands);
    QFETCH(QByteArray, indicationRange);
    QFETCH(QVariantMap, meter);
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.values.insert(meter); });
    m_page->btnReadCfgFromDevice->click();
    if (indicationRange.isEmpty()) {
        m_page->dspnS->setValue(101.0);
        m_page->dspnHandSetTemperature->setValue(30.0);
        m_page->dspnRangeMin->setValue(1.0);
    } else {
        m_page->dspnMaxIndication->setValue(11.5);
    }
    const int mark = m_sim->requestCount();
    m_page->btnWriteCfgInDevice->click();
    QCOMPARE(commandsSince(mark), commands);
    if (!indicationRange.isEmpty())
        QCOMPARE(m_sim->requests().at(mark).data, indicationRange);
    QCOMPARE(m_page->btnWriteCfgInDevice->isEnabled(), commands.isEmpty());
    if (commands.isEmpty()) {   // the warning names the field, which shows, as its copy does, no number
        QVERIFY(m_prompts->requests.last().text.contains(QLatin1String("\"Ei\"")));
        QCOMPARE(m_page->dspnGrdEi->text(), QStringLiteral("----"));
    }
}

void TestAcivelWidget::inputModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("unitCode");
    QTest::addColumn<QString>("unit");
    QTest::newRow("OVP-meter") << 2 << 1 << 36 << QStringLiteral("mV");
    QTest::newRow("EMF-meter") << 3 << 1 << 36 << QStringLiteral("mV");
    QTest::newRow("pH-meter with VCW") << 1 << 0 << 59 << QStringLiteral("pH");
    QTest::newRow("pH-meter after a millivolt mode") << 0 << 0 << 59 << QStringLiteral("pH");
}

void TestAcivelWidget::inputModes()
{
    QFETCH(int, mode);
    QFETCH(int, page);
    QFETCH(int, unitCode);
    QFETCH(QString, unit);
    m_device->setParameter(QStringLiteral("range_unit_code"), 12);
    m_page->cmbInputMode->setCurrentIndex(mode == 0 ? 2 : 0);
    m_page->cmbInputMode->setCurrentIndex(mode);
    QCOMPARE(m_page->stackedWidgetPH->currentIndex(), page);
    QCOMPARE(m_device->parameterInt(QStringLiteral("range_unit_code")), unitCode);
    QCOMPARE(m_page->lbUnitMaxRange->text(), unit);
    QCOMPARE(m_page->dspnBigSignalThreshold_pH->suffix(), QLatin1Char(' ') + unit);
}

void TestAcivelWidget::electrodeCautionAndLanguage()
{
    m_page->btnReadCfgFromDevice->click();
    m_device->setParameter(QStringLiteral("electrode_diag"), 1);
    // A code the page does not list shows no row.
    m_device->setParameter(QStringLiteral("ts_type"), 2);
    m_page->showConfigInFields();
    QVERIFY(m_prompts->requests.isEmpty());
    m_page->cmbElectrodeDiag->setCurrentIndex(0);
    m_page->cmbElectrodeDiag->setCurrentIndex(1);
    QCOMPARE(m_prompts->requests.size(), 1);
    QCOMPARE(m_prompts->requests.first().title, QStringLiteral("Electrode diagnostics"));

    m_page->cmbInputMode->setCurrentIndex(1);
    m_page->dspnRangeMin->setValue(1.0);
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    QEvent event(QEvent::LanguageChange);
    QApplication::sendEvent(m_page.get(), &event);
    QCOMPARE(m_page->cmbInputMode->currentText(), QStringLiteral("рН-метр с ОЧВ"));
    QCOMPARE(m_page->cmbResistorType->itemText(0), QStringLiteral("П (W=1,385)"));
    QCOMPARE(m_page->cmbResistorType->currentIndex(), -1);
    QCOMPARE(m_page->cmbElectrodeDiag->currentIndex(), 1);
    // Only the texts change: the unwritten range edit stays, marked.
    QCOMPARE(m_page->dspnRangeMin->value(), 1.0);
    QCOMPARE(m_page->dspnRangeMin->palette().color(QPalette::Text), QColor(Qt::blue));
    QVERIFY(m_page->btnWriteCfgInDevice->isEnabled());
    QCOMPARE(m_prompts->requests.size(), 1);
}

void TestAcivelWidget::liveGraduationValues_data()
{
    QTest::addColumn<QVariant>("ph");
    QTest::addColumn<float>("emf");
    QTest::addColumn<QString>("delta");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("saveEnabled");
    QTest::addColumn<bool>("duringRead");   // delivered inside the page's own read
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("stable EMF") << QVariant(6.86f) << 100.05f << "0.05" << QColor(Qt::darkGreen) << QString() << true << false;
    QTest::newRow("moving EMF") << QVariant(6.86f) << 90.0f << "10.00" << QColor(Qt::magenta) << QString() << true << false;
    QTest::newRow("nan pH") << QVariant(std::numeric_limits<float>::quiet_NaN()) << 100.0f << "0.00" << QColor(Qt::red)
                            << "Undefined" << false << false;
    QTest::newRow("infinite pH") << QVariant(inf) << 100.0f << "0.00" << QColor(Qt::red) << "Undefined" << false << false;
    QTest::newRow("-inf pH") << QVariant(-inf) << 100.0f << "0.00" << QColor(Qt::red) << "Undefined" << false << false;
    QTest::newRow("an EMF given as NaN shows no number and no change")
        << QVariant(6.86f) << float(qQNaN()) << "----" << QColor(Qt::magenta) << QString() << true << false;
    QTest::newRow("a slot left out") << QVariant() << 100.0f << "0" << QColor(Qt::black) << "Error" << true << false;
    QTest::newRow("a failed answer inside a read while the poller waits for the device")
        << QVariant() << 100.0f << "0" << QColor(Qt::black) << "Error" << true << true;
}

void TestAcivelWidget::liveGraduationValues()
{
    QFETCH(QVariant, ph);
    QFETCH(float, emf);
    QFETCH(QString, delta);
    QFETCH(QColor, colour);
    QFETCH(QString, state);
    QFETCH(bool, saveEnabled);
    QFETCH(bool, duringRead);
    startPoint1();
    QCOMPARE(m_page->lbDeltaU_1->text(), QStringLiteral("0"));   // the first reading shows no change
    QVariantMap response{{QStringLiteral("slot_0_value"), 25.0f}, {QStringLiteral("slot_0_unit_code"), 32},
                         {QStringLiteral("slot_1_value"), emf}, {QStringLiteral("slot_1_unit_code"), 36},
                         {QStringLiteral("slot_2_unit_code"), 59}};
    if (ph.isValid())
        response.insert(QStringLiteral("slot_2_value"), ph);
    if (duringRead) {   // the poller's next period passes in the read: its poll waits for the device
        int stoppedAt = -1;
        connect(m_device, &Device::deviceStatus, this, [&] {
            if (QThread::currentThread() == thread() && stoppedAt < 0) {
                QTest::qWait(GraduationPeriodMs + 200);
                stoppedAt = m_sim->requestCount();
                m_page->updateBufferInfoByResponsePT33(response);
            }
        }, Qt::DirectConnection);
        m_page->findChild<PVWidget *>()->findChild<QPushButton *>(QStringLiteral("btnRefresh"))->click();
        QTRY_COMPARE(m_device->pollerCount(), 0);
        QVERIFY(stoppedAt >= 0 && !commandsSince(stoppedAt).contains(33));   // nothing sent after the stop
    } else {
        m_page->updateBufferInfoByResponsePT33(response);
    }
    QEvent languageChange(QEvent::LanguageChange);   // what the page shows stays in any language
    QApplication::sendEvent(m_page.get(), &languageChange);
    QCOMPARE(m_page->lbDeltaU_1->text(), delta);
    QCOMPARE(m_page->txtU_p1->text().startsWith(QLatin1String("---- ")), std::isnan(emf));
    QCOMPARE(textColour(m_page->dspnPH_p1), colour);
    QVERIFY(m_page->lbNan_p1->text().contains(state));
    QCOMPARE(m_page->btnSetPH_p1->isEnabled(), saveEnabled);
    QCOMPARE(m_page->btnGetPH_p1->isChecked(), ph.isValid());
    if (state == QLatin1String("Undefined")) {   // stopped there, the pH nobody measured is not saved
        QCOMPARE(m_page->dspnPH_p1->text(), QStringLiteral("----"));
        m_page->btnGetPH_p1->click();
        m_page->btnSetPH_p1->click();
        QVERIFY(!commandsSince(0).contains(151));
    }
}

void TestAcivelWidget::graduationRun_data()
{
    QTest::addColumn<QString>("then");
    QTest::newRow("a saved point shows Saved") << QString();
    QTest::newRow("a save the meter refuses says so and clears an earlier Saved") << "refused";
    QTest::newRow("a value edited after its save is not marked saved") << "edited";
}

void TestAcivelWidget::graduationRun()
{
    QFETCH(QString, then);
    startPoint1();
    QCOMPARE(m_page->dspnPH_p1->value(), 7.0);
    m_page->dspnPH_p1->setValue(6.86);
    const int mark = m_sim->requestCount();
    m_page->btnSetPH_p1->click();
    QCOMPARE(commandsSince(mark), (QList<int>{151, 150}));
    QCOMPARE(m_sim->requests().at(mark).data, QByteArray::fromHex("0000") + floats({6.86f}));
    // The meter's new Ei and S (this one answers the pH as Ei and 100 plus the point as S).
    QCOMPARE(m_page->dspnGrdEi->value(), 6.86);
    QCOMPARE(m_page->dspnS->value(), 100.0);
    QVERIFY(m_page->lbNan_p1->text().contains(QLatin1String("Saved")));
    QVERIFY(!m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    if (then == QLatin1String("edited"))
        m_page->dspnPH_p1->setValue(6.9);
    if (then == QLatin1String("refused")) {
        m_sim->updateDevice(0, [](HartSimDevice &device) { device.values.insert(QStringLiteral("response_code_151"), 16); });
        m_page->btnSetPH_p1->click();
        QVERIFY(m_prompts->requests.value(0).text.startsWith(QLatin1String("Command error (error code 16)")));
    }
    QCOMPARE(m_page->lbNan_p1->text().isEmpty(), !then.isEmpty());

    // A cut answer shows Error, never the last reading.
    m_sim->updateDevice(0, [](HartSimDevice &device) { device.values.insert(QStringLiteral("reply_length_33"), 12); });
    m_page->btnGetPH_p1->click();
    QTRY_VERIFY(m_page->lbNan_p1->text().contains(QLatin1String("Error")));
    QVERIFY(!m_page->btnGetPH_p1->isChecked());
    m_page->btnSetPH_p1->click();   // this measurement read nothing to save
    QCOMPARE(commandsSince(0).count(151), then == QLatin1String("refused") ? 2 : 1);
}

void TestAcivelWidget::pollersShareTheLock()
{
    auto *measurement = m_page->findChild<MeasureWidget *>();
    measurement->chkPeriod->setChecked(true);
    measurement->btnStartStop->click();
    startPoint1();
    measurement->btnStartStop->click();
    QVERIFY(!measurement->isPolling());
    QVERIFY(!m_page->tabAdjust->isEnabled());
    QVERIFY(m_device->hasStateFlag(Device::StatePeriodicallyRequested));

    m_page->onStartPeriod(true);   // a stop that follows no start
    QVERIFY(!m_page->tabAdjust->isEnabled());
    m_page->btnGetPH_p1->click();
    QVERIFY(m_page->tabAdjust->isEnabled());
    QVERIFY(!m_device->hasStateFlag(Device::StatePeriodicallyRequested));

    // Destroying the page joins a running poller.
    m_page->btnGetPH_p1->click();
    QVERIFY(m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    m_page.reset();
    QCOMPARE(m_device->pollerCount(), 0);
}

void TestAcivelWidget::accessCode_data()
{
    QTest::addColumn<float>("code");
    QTest::addColumn<QByteArray>("leaveAnswer");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("graduation");
    QTest::newRow("granted, then left for the graduation") << AccessCode << QByteArray() << 3 << QString() << true;
    QTest::newRow("granted, but the meter stays in metrology mode")
        << AccessCode << QByteArray::fromHex("80") << 3 << QString() << false;
    QTest::newRow("refused, then cancelled") << 1.0f << QByteArray() << 1
                                             << QStringLiteral("Wrong security code (answer=00).") << true;
}

void TestAcivelWidget::accessCode()
{
    QFETCH(float, code);
    QFETCH(QByteArray, leaveAnswer);
    QFETCH(int, page);
    QFETCH(QString, warning);
    QFETCH(bool, graduation);
    m_page->btnStartURRAdjust->click();
    m_page->dspnAdjustCode->setValue(code);
    QTest::keyClick(m_page->dspnAdjustCode, Qt::Key_Return);
    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), page);
    QCOMPARE(m_prompts->requests.isEmpty() ? QString() : m_prompts->requests.first().text, warning);
    QCOMPARE(m_page->dspnAdjustU_p2->value(), code == AccessCode ? 400.0 : 0.0);

    // A granted task is left before a graduation opens; one whose code was refused is only
    // forgotten, and the meter, never unlocked, is not sent the code 0.
    if (!leaveAnswer.isEmpty())
        m_sim->updateDevice(0, [&](HartSimDevice &device) { device.values.insert(QStringLiteral("reply_data_170"), leaveAnswer); });
    if (!warning.isEmpty())
        m_page->btnCancelAdjust->click();
    const int mark = m_sim->requestCount();
    const int prompts = m_prompts->requests.size();
    m_page->btnStartGraduation->click();
    QCOMPARE(commandsSince(mark).contains(170), warning.isEmpty());
    QCOMPARE(m_prompts->requests.size() - prompts, warning.isEmpty() ? (graduation ? 1 : 2) : 0);
    QCOMPARE(m_page->btnStartGraduation->isEnabled(), !graduation);
}

void TestAcivelWidget::cancelAfterLostGrantAnswerLocks()
{
    // The meter takes the code, but its answer is lost on the line.
    m_sim->setHandler(170, [](HartSimDevice &device, const QByteArray &request) {
        HartSimResponse response;
        response.silent = HartSimUniversalCommands::floatAt(request, 0) != 0.0f;
        device.values.insert(QStringLiteral("unlocked"), response.silent);
        return response;
    });
    m_page->btnStartURRAdjust->click();
    m_page->dspnAdjustCode->setValue(AccessCode);
    m_page->btnCheckCode->click();
    m_page->btnCancelAdjust->click();
    QVERIFY(!m_sim->device(0).values.value(QStringLiteral("unlocked")).toBool());
}

void TestAcivelWidget::taskRequests_data()
{
    QTest::addColumn<QString>("button");   // then what the meter answers: key=value
    QTest::addColumn<QList<int>>("commands");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("U of point 2") << "btnAdjustU_p2" << QList<int>{172, 171} << QByteArray::fromHex("01") + floats({400.0f});
    QTest::newRow("Rc of point 1") << "btnAdjustRc_p1" << QList<int>{174, 171} << QByteArray::fromHex("00") + floats({0.0f});
    QTest::newRow("Rt") << "btnAdjustRt" << QList<int>{173, 171} << floats({0.0f});
    QTest::newRow("Ei and S ranges") << "btnSaveEiSRanges" << QList<int>{176} << floats({0.0f, 0.0f, 0.0f, 0.0f});
    QTest::newRow("sensor parameters") << "btnSaveSensorParam" << QList<int>{49, 142} << QByteArray::fromHex("000000");
    QTest::newRow("sensor unit the page lacks") << "btnSaveSensorParam sensor_unit_code=32" << QList<int>{} << QByteArray();
    QTest::newRow("a refused U adjustment is reported, not the read after it") << "btnAdjustU_p2 response_code_172=16"
        << QList<int>{172, 171} << QByteArray::fromHex("01") + floats({400.0f});
    QTest::newRow("U the meter gave as NaN is not sent") << "btnAdjustU_p2 adjust_U_p2=nan" << QList<int>{} << QByteArray();
    QTest::newRow("nor an S range it gave as infinity") << "btnSaveEiSRanges s_max=inf" << QList<int>{} << QByteArray();
    QTest::newRow("nor a sensor bound it gave as NaN") << "btnSaveSensorParam sensor_range_min=nan" << QList<int>{}
                                                       << QByteArray();
}

void TestAcivelWidget::taskRequests()
{
    QFETCH(QString, button);
    QFETCH(QList<int>, commands);
    QFETCH(QByteArray, data);
    const QStringList words = button.split(QLatin1Char(' '));
    m_sim->updateDevice(0, [&](HartSimDevice &device) {
        for (const QString &answer : words.mid(1))
            device.values.insert(answer.section(QLatin1Char('='), 0, 0), answer.section(QLatin1Char('='), 1));
    });
    grant(m_page->btnStartURRAdjust);
    m_page->loadSensorParams();
    m_page->readEiSRanges();
    const int mark = m_sim->requestCount();
    m_page->findChild<QPushButton *>(words.first())->click();
    QCOMPARE(commandsSince(mark), commands);
    if (!commands.isEmpty())
        QCOMPARE(m_sim->requests().at(mark).data, data);
    QCOMPARE(m_prompts->requests.size(), commands.isEmpty() || words.size() > 1 ? 1 : 0);   // a box says why
    const QString labels = m_page->lbEiPoints->text() + m_page->lbSRange->text();   // NaN and infinity as dashes
    QVERIFY2(!labels.contains(QLatin1String("nan")) && !labels.contains(QLatin1String("inf")), qPrintable(labels));
}

void TestAcivelWidget::completeAndReset_data()
{
    QTest::addColumn<QString>("task");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QList<int>>("commands");
    QTest::newRow("current trim completed") << "btnStartAdjust" << false << QList<int>{170, 40};
    QTest::newRow("input adjustment completed while measuring") << "btnStartURRAdjust" << false << QList<int>{170};
    QTest::newRow("reset keeps the open task") << "btnStartURRAdjust" << true << QList<int>{};
}

void TestAcivelWidget::completeAndReset()
{
    QFETCH(QString, task);
    QFETCH(bool, reset);
    QFETCH(QList<int>, commands);
    grant(m_page->findChild<QPushButton *>(task));
    const int page = m_page->stackedWidgetAdjust->currentIndex();
    if (page == 3) {   // the meter measures U as NaN: only U shows the dashes and locks its buttons
        m_sim->updateDevice(0, [](HartSimDevice &device) { device.values.insert(QStringLiteral("variable_4_value"), qQNaN()); });
        m_page->btnAdjustMeasurement->click();
        QTRY_COMPARE(m_page->dspnU->text(), QStringLiteral("----"));
        QVERIFY(!m_page->btnAdjustU_p1->isEnabled() && m_page->btnAdjustRc_p1->isEnabled() && m_page->dspnRc->value() == 10.0);
    }
    const int mark = m_sim->requestCount();
    if (reset)
        m_page->onResetWidget();
    else
        m_page->finishAdjust();
    QVERIFY(!m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    QVERIFY(!m_page->btnAdjustMeasurement->isChecked());
    QList<int> sent = commandsSince(mark);
    sent.removeAll(33);   // a poll that was under way
    QCOMPARE(sent, commands);
    for (int i = mark; i < m_sim->requestCount(); ++i) {
        if (m_sim->requests().at(i).command != 33)
            QCOMPARE(m_sim->requests().at(i).data, floats({0.0f}));
    }
    QCOMPARE(m_page->stackedWidgetAdjust->currentIndex(), reset ? page : 0);
    QCOMPARE(m_page->isAdjustGranted(), reset);
}

QTEST_MAIN(TestAcivelWidget)
#include "tst_acivelwidget.moc"
