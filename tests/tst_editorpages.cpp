#include "editor/commonwidget.h"
#include "editor/devicewidget.h"
#include "editor/pvwidget.h"
#include "editor/statuswidget.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "promptrecorder.h"
#include "widgets/unibaseinput.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLCDNumber>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

namespace {

// An editor's page set as the editors build it: a root with its status strip, the
// process-variable page and the identification page.
class PageSet : public DeviceWidget
{
public:
    PageSet()
        : DeviceWidget(nullptr, nullptr)
    {
        status = new StatusWidget(this);
        statusWidget = status;
        pv = new PVWidget(this, 4, true);
        addChildWidget(pv, QStringLiteral("PV"));
        common = new CommonWidget(this, true);
        addChildWidget(common, QStringLiteral("Common"));
        connect(common, &DeviceWidget::updateButtons, this, &DeviceWidget::updateButtons);
        connect(common, &DeviceWidget::changed, this, &DeviceWidget::changed);
        connect(pv, &DeviceWidget::changed, this, &DeviceWidget::changed);
    }

    void bind(Device *item)
    {
        device = item;
        emit deviceChanged(item);
    }

    template<typename T>
    T *field(const char *name) const
    {
        T *found = findChild<T *>(QLatin1String(name));
        Q_ASSERT(found);
        return found;
    }

    QString outcome() const { return status->lbError->text(); }
    void click(const char *button) const { field<QPushButton>(button)->click(); }

    StatusWidget *status;
    PVWidget *pv;
    CommonWidget *common;
};

bool succeeded(const PageSet &pages)
{
    return pages.outcome().contains(QLatin1String("completed successfully"));
}

bool isBlue(const QWidget *field)
{
    return field->palette().color(QPalette::Text) == QColor(Qt::blue);
}

QList<quint8> commandsSent(const HartSimulator &sim)
{
    QList<quint8> commands;
    for (const HartSimRequest &request : sim.requests())
        commands.append(request.command);
    return commands;
}

HartSimResponse busyAnswer(quint8 code = 32)
{
    HartSimResponse response;
    response.responseCode = code;
    return response;
}

// A person's edit of a number field: "key up", "key down", "key page up", "button up",
// "button down", "wheel down", "menu down" (the context menu's step) or "type <text>" over the
// whole text.
void editSpinBox(QAbstractSpinBox *box, const QString &edit)
{
    if (edit.startsWith(QLatin1String("type "))) {
        box->selectAll();
        QTest::keyClicks(box, edit.mid(5));
    } else if (edit.startsWith(QLatin1String("key "))) {
        const bool page = edit.contains(QLatin1String("page"));
        const bool up = edit.endsWith(QLatin1String("up"));
        QTest::keyClick(box, page ? (up ? Qt::Key_PageUp : Qt::Key_PageDown) : (up ? Qt::Key_Up : Qt::Key_Down));
    } else if (edit.startsWith(QLatin1String("button "))) {
        QStyleOptionSpinBox option;
        option.initFrom(box);
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
        const auto button = edit.endsWith(QLatin1String("up")) ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown;
        QTest::mouseClick(box, Qt::LeftButton, {}, box->style()->subControlRect(QStyle::CC_SpinBox, &option, button, box).center());
    } else if (edit.startsWith(QLatin1String("wheel "))) {
        // "wheel down" turns a whole notch down; "wheel partial down" a touchpad's part of one,
        // "wheel 8 partial down" eight such parts in a row; "wheel sideways" a notch across.
        const bool partial = edit.contains(QLatin1String("partial"));
        const QPoint delta = edit.endsWith(QLatin1String("sideways")) ? QPoint(-120, 0) : QPoint(0, partial ? -15 : -120);
        const int turns = edit.contains(QLatin1String(" 8 ")) ? 8 : 1;
        for (int turn = 0; turn < turns; ++turn) {
            QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), QPoint(), delta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(box, &wheel);
        }
    } else {
        box->stepBy(edit.endsWith(QLatin1String("up")) ? 1 : -1);
    }
}

enum Field { LineEdit, NumberInput, Label, DoubleSpin, Spin, Check };

// The value the read-out shows; "-" for the dashes of nothing measured (which it keeps).
QString readOut(QLCDNumber *lcd)
{
    const QString value = QString::number(lcd->value());
    const QImage shown = lcd->grab().toImage();
    lcd->display(QStringLiteral("----"));
    return !shown.isNull() && lcd->grab().toImage() == shown ? QStringLiteral("-") : value;
}

} // namespace

class TestEditorPages : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void binderShowsValueByFieldClass_data();
    void binderShowsValueByFieldClass();
    void userEditMarksFieldAndDevice();
    void fillComboBoxKeepsIndex_data();
    void fillComboBoxKeepsIndex();
    void busyPageSetRefusesSecondStart();
    void outcomeAndChangedFollowSteps();
    void lineClosedAfterOperationWhenPortAsks();
    void statusBytesColour_data();
    void statusBytesColour();
    void errorBoxOnlyForCountedErrors();
    void stripEscapesTextAndHidesFrameDumps();
    void identification_data();
    void identification();
    void identificationFailures_data();
    void identificationFailures();
    void revision5DeviceKeepsItsAddress();
    void loadingKeepsDeviceAddress();
    void writes_data();
    void writes();
    void writeProtection();
    void refusedInputSendsNothing_data();
    void refusedInputSendsNothing();
    void selfTestWaitsWhileBusy_data();
    void selfTestWaitsWhileBusy();
    void resetWaitLetsEventsThrough();
    void variableRowsFollowAnswer_data();
    void variableRowsFollowAnswer();
    void variablesErrorsAndStatusLines();
    void pollingResponseShowsItsOwnValues();
    void clickDuringTransactionCannotDeadlock();

private:
    Device *addDevice(quint8 pollingAddress);
    void identify();

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    std::unique_ptr<PageSet> m_pages;
    std::unique_ptr<PromptRecorder> m_prompts;
    Port *m_port = nullptr;
    Device *m_device = nullptr;
};

void TestEditorPages::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimDevice simDevice(0);
    simDevice.tag = QStringLiteral("TT101");
    const QVariantMap values{{QStringLiteral("long_tag"), QStringLiteral("Boiler feed")},
                             {QStringLiteral("descriptor"), QStringLiteral("FEED PUMP")},
                             {QStringLiteral("date"), QDate(2020, 5, 17)},
                             {QStringLiteral("final_assembly_number"), 4242},
                             {QStringLiteral("damping_time"), 2.0f},
                             {QStringLiteral("current_loop_mode"), 1},
                             {QStringLiteral("output_current"), 12.0f},
                             {QStringLiteral("output_current_%"), 50.0f}};
    simDevice.values.insert(values);
    for (const char *name : {"PV", "SV", "TV", "QV"}) {
        simDevice.values.insert(QLatin1String(name) + QStringLiteral("_unit_code"), 32);
        simDevice.values.insert(QLatin1String(name), 21.5f);
    }
    m_sim->addDevice(simDevice);
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(m_port->setSerialName(m_sim->portName()));
    m_port->hartPort.setProperty("response_timeout", 100);
    m_port->hartPort.setProperty("byte_timeout", 20);
    m_device = addDevice(0);
    m_pages = std::make_unique<PageSet>();
    m_pages->bind(m_device);
    m_prompts = std::make_unique<PromptRecorder>();
}

void TestEditorPages::cleanup()
{
    m_prompts.reset();
    m_pages.reset();
    m_server.reset();
    m_sim.reset();
}

Device *TestEditorPages::addDevice(quint8 pollingAddress)
{
    Device *device = m_port->createDevice(QStringLiteral("General"));
    device->setAddress(pollingAddress);
    m_port->insertChild(-1, device);
    return device;
}

void TestEditorPages::identify()
{
    m_pages->click("btnCheck");
    QVERIFY2(succeeded(*m_pages), qPrintable(m_pages->outcome()));
    m_sim->clearRequests();
    m_prompts->requests.clear();
}

// ---------------------------------------------------------------------------------------------
// Field binding

void TestEditorPages::binderShowsValueByFieldClass_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("edit");     // a person's edit of what is shown: a step or a typed text
    QTest::addColumn<QString>("edited");   // what the field shows then
    QTest::newRow("one byte as hex in a line edit") << int(LineEdit) << QVariant(QByteArray("\x0a")) << "0x0A" << QString() << QString();
    QTest::newRow("three bytes without blanks") << int(LineEdit) << QVariant(QByteArray::fromHex("abcdef")) << "0xABCDEF" << QString() << QString();
    QTest::newRow("empty bytes") << int(LineEdit) << QVariant(QByteArray("")) << "0x" << QString() << QString();
    QTest::newRow("number input float with three decimals") << int(NumberInput) << QVariant(4.0f) << "4.000" << QString() << QString();
    QTest::newRow("number input holding a number shows none for infinity") << int(NumberInput) << QVariant(float(qInf())) << "" << QString() << QString();
    QTest::newRow("number input unsigned") << int(NumberInput) << QVariant(uint(4000000000u)) << "4000000000" << QString() << QString();
    QTest::newRow("label float in six digits") << int(Label) << QVariant(0.1234567f) << "0.123457" << QString() << QString();
    QTest::newRow("label whole float") << int(Label) << QVariant(4.0f) << "4" << QString() << QString();
    QTest::newRow("double spin box takes a float") << int(DoubleSpin) << QVariant(4.0f) << "4" << QString() << QString();
    QTest::newRow("missing key gives a spin box 0") << int(Spin) << QVariant() << "0" << QString() << QString();
    QTest::newRow("a float below a double field's minimum shows as given") << int(DoubleSpin) << QVariant(-5000.5f) << "-5000.5" << QString() << QString();
    QTest::newRow("a float above a double field's maximum shows as given") << int(DoubleSpin) << QVariant(150.0f) << "150" << QString() << QString();
    QTest::newRow("a number above a spin box's maximum shows as given") << int(Spin) << QVariant(200) << "200" << QString() << QString();
    QTest::newRow("a float beyond any whole number shows dashes in a spin box") << int(Spin) << QVariant(1e10f) << "----" << QString() << QString();
    QTest::newRow("a NaN float shows dashes in a spin box, not its limit") << int(Spin) << QVariant(float(qQNaN())) << "----" << QString() << QString();
    QTest::newRow("a label shows dashes for NaN") << int(Label) << QVariant(float(qQNaN())) << "----" << QString() << QString();
    QTest::newRow("a float above a double field's maximum stepped up lands on the maximum") << int(DoubleSpin) << QVariant(150.0f) << "150" << "key up" << "99.99";
    QTest::newRow("a float above a double field's maximum stepped down lands on the maximum") << int(DoubleSpin) << QVariant(150.0f) << "150" << "button down" << "99.99";
    QTest::newRow("a double field above its maximum refuses a typed value beyond it") << int(DoubleSpin) << QVariant(150.0f) << "150" << "type 120" << "12";
    QTest::newRow("a float below a double field's minimum stepped up lands on the minimum") << int(DoubleSpin) << QVariant(-5000.5f) << "-5000.5" << "button up" << "0";
    QTest::newRow("a float below a double field's minimum stepped down lands on the minimum") << int(DoubleSpin) << QVariant(-5000.5f) << "-5000.5" << "wheel down" << "0";
    QTest::newRow("a double field below its minimum takes a typed value beyond it as the minimum") << int(DoubleSpin) << QVariant(-5000.5f) << "-5000.5" << "type -20" << "0";
    QTest::newRow("a number above a spin box's maximum stepped down lands on the maximum") << int(Spin) << QVariant(200) << "200" << "wheel down" << "99";
    QTest::newRow("a number above a spin box's maximum stepped down from its menu lands on the maximum") << int(Spin) << QVariant(200) << "200" << "menu down" << "99";
    QTest::newRow("a touchpad's part of a wheel notch over a spin box above its maximum leaves the number") << int(Spin) << QVariant(200) << "200" << "wheel partial down" << "200";
    QTest::newRow("parts of a wheel notch adding up to a notch step a spin box above its maximum to it") << int(Spin) << QVariant(200) << "200" << "wheel 8 partial down" << "99";
    QTest::newRow("a sideways wheel over a double field above its maximum leaves the number") << int(DoubleSpin) << QVariant(150.0f) << "150" << "wheel sideways" << "150";
    QTest::newRow("a spin box above its maximum refuses a typed value beyond it") << int(Spin) << QVariant(200) << "200" << "type 120" << "12";
    QTest::newRow("a number below a spin box's minimum stepped up lands on the minimum") << int(Spin) << QVariant(-7) << "-7" << "key page up" << "0";
    QTest::newRow("a number below a spin box's minimum stepped down lands on the minimum") << int(Spin) << QVariant(-7) << "-7" << "key down" << "0";
    QTest::newRow("a spin box below its minimum takes a typed value beyond it as the minimum") << int(Spin) << QVariant(-7) << "-7" << "type -3" << "0";
    QTest::newRow("a double field within its range keeps a typed value") << int(DoubleSpin) << QVariant(4.0f) << "4" << "type 12.5" << "12.5";
    QTest::newRow("a double field within its range steps as always") << int(DoubleSpin) << QVariant(4.0f) << "4" << "key up" << "5";
    QTest::newRow("a spin box within its range keeps a typed value") << int(Spin) << QVariant(5) << "5" << "type 42" << "42";
    QTest::newRow("non-zero number ticks a check box") << int(Check) << QVariant(1) << "true" << QString() << QString();
}

void TestEditorPages::binderShowsValueByFieldClass()
{
    QFETCH(int, field);
    QFETCH(QVariant, value);
    QFETCH(QString, shown);
    QWidget *widget = nullptr;
    std::function<QString()> read;
    switch (Field(field)) {
    case LineEdit: { auto *w = new QLineEdit(m_pages.get()); read = [w] { return w->text(); }; widget = w; break; }
    case NumberInput: { auto *w = new UniBaseInput(m_pages.get()); w->setValue(5); read = [w] { return w->text(); }; widget = w; break; }
    case Label: { auto *w = new QLabel(m_pages.get()); read = [w] { return w->text(); }; widget = w; break; }
    case DoubleSpin: { auto *w = new QDoubleSpinBox(m_pages.get()); read = [w] { return QString::number(w->value()); }; widget = w; break; }
    case Spin: { auto *w = new QSpinBox(m_pages.get()); w->setValue(5); read = [w] { return w->text(); }; widget = w; break; }
    case Check: { auto *w = new QCheckBox(m_pages.get()); read = [w] { return QVariant(w->isChecked()).toString(); }; widget = w; break; }
    }
    if (value.isValid())
        m_device->setParameter(QStringLiteral("key"), value);
    QSignalSpy changed(m_pages.get(), &DeviceWidget::changed);

    m_pages->showDeviceInfoInField(QStringLiteral("key"), widget, true);

    QCOMPARE(read(), shown);
    QVERIFY(!isBlue(widget));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!m_device->hasStateFlag(Device::StateChanged));
    // Any edit leaves a value within the form's range, and the field has that range again; a
    // wheel that steps nothing leaves the instrument's value as it was.
    QFETCH(QString, edit);
    if (auto *box = qobject_cast<QAbstractSpinBox *>(widget); box && !edit.isEmpty()) {
        editSpinBox(box, edit);
        QTEST(read(), "edited");
        const bool beyondForm = shown.toDouble() < 0 || shown.toDouble() >= 100;
        const bool stillWidened = read() == shown && beyondForm;
        const bool formRange = box->property("minimum") == 0 && box->property("maximum").toDouble() < 100;
        QCOMPARE(formRange, !stillWidened);
    }
    // Given a value within the form's range again, a number field takes back the form's range.
    m_device->setParameter(QStringLiteral("key"), 1.0f);
    m_pages->showDeviceInfoInField(QStringLiteral("key"), widget, true);
    QVERIFY(!qobject_cast<QAbstractSpinBox *>(widget) || (widget->property("minimum") == 0 && widget->property("maximum").toDouble() < 100));
}

void TestEditorPages::userEditMarksFieldAndDevice()
{
    auto *edit = new QLineEdit(m_pages.get());
    m_device->setParameter(QStringLiteral("key"), QStringLiteral("AB"));
    m_pages->showDeviceInfoInField(QStringLiteral("key"), edit, true);
    m_pages->showDeviceInfoInField(QStringLiteral("key"), edit, true);
    QSignalSpy changed(m_pages.get(), &DeviceWidget::changed);

    QTest::keyClick(edit, Qt::Key_C);

    QVERIFY(isBlue(edit));
    QVERIFY(m_device->hasStateFlag(Device::StateChanged));
    QCOMPARE(changed.count(), 1);
}

void TestEditorPages::fillComboBoxKeepsIndex_data()
{
    QTest::addColumn<int>("itemsBefore");
    QTest::addColumn<int>("itemsAfter");
    QTest::addColumn<int>("index");
    QTest::newRow("index still inside") << 5 << 4 << 3;
    QTest::newRow("index past the end goes to 0") << 5 << 2 << 0;
    QTest::newRow("an empty box starts at its first item") << 0 << 3 << 0;
}

void TestEditorPages::fillComboBoxKeepsIndex()
{
    QFETCH(int, itemsBefore);
    QFETCH(int, itemsAfter);
    QFETCH(int, index);
    QComboBox combo;
    for (int item = 0; item < itemsBefore; ++item)
        combo.addItem(QString::number(item), item);
    combo.setCurrentIndex(itemsBefore > 3 ? 3 : -1);
    QSignalSpy indexChanged(&combo, &QComboBox::currentIndexChanged);

    DeviceWidget::fillComboBox(QStringList(itemsAfter, QStringLiteral("x")), &combo);

    QCOMPARE(combo.currentIndex(), index);
    QCOMPARE(combo.itemData(itemsAfter - 1).toInt(), itemsAfter - 1);
    QCOMPARE(indexChanged.count(), 0);
}

// ---------------------------------------------------------------------------------------------
// Operation protocol and status strip

void TestEditorPages::busyPageSetRefusesSecondStart()
{
    QSignalSpy starts(m_pages.get(), &DeviceWidget::init_progress_bar);
    QVERIFY(m_pages->startOperation(QStringLiteral("first"), 1));
    QVERIFY(!m_pages->common->startOperation(QStringLiteral("second"), 1));
    QVERIFY(!m_pages->startOperation(QStringLiteral("third"), 1));
    QCOMPARE(starts.count(), 1);
    QVERIFY(m_pages->pv->isBusy());
    m_pages->finishOperation(0);
    QVERIFY(!m_pages->isBusy());
    QVERIFY(m_pages->pv->startOperation(QStringLiteral("after"), 1));
    m_pages->pv->finishOperation(0);
}

void TestEditorPages::outcomeAndChangedFollowSteps()
{
    QSignalSpy changed(m_pages.get(), &DeviceWidget::changed);
    QVERIFY(m_pages->startOperation(QStringLiteral("three"), 3));
    for (int step = 0; step < 3; ++step)
        m_pages->common->nextStep();
    m_pages->finishOperation(0);
    QVERIFY(succeeded(*m_pages));
    QCOMPARE(changed.count(), 0);

    QVERIFY(m_pages->common->startOperation(QStringLiteral("three"), 3));
    m_pages->common->nextStep();
    m_pages->common->nextStep();
    m_device->setResult(ServerItem::ResultLinkError);
    m_pages->common->finishOperation(0);
    QVERIFY(m_pages->outcome().contains(QLatin1String("completed with errors")));
    QCOMPARE(changed.count(), 1);
}

void TestEditorPages::lineClosedAfterOperationWhenPortAsks()
{
    m_port->setProperty("close_port_after_transaction", true);
    m_pages->pv->onUpdateButtons(true);
    m_pages->click("btnRefresh");
    QVERIFY(succeeded(*m_pages));
    QVERIFY(!m_port->isOpened());
}

void TestEditorPages::statusBytesColour_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QString>("shown");
    QTest::newRow("all clear") << QByteArray::fromHex("0000") << "<p style=\"color: green; font: bold;\">00 00</p>";
    QTest::newRow("response code") << QByteArray::fromHex("4000") << "<p style=\"color: red; font: bold;\">40 00</p>";
    QTest::newRow("device status") << QByteArray::fromHex("0020") << "<p style=\"color: magenta;\">00 20</p>";
    QTest::newRow("both") << QByteArray::fromHex("4020") << "<p style=\"color: magenta;\">40 20</p>";
    QTest::newRow("one byte") << QByteArray::fromHex("00") << "<p style=\"color: green; font: bold;\">00</p>";
    QTest::newRow("none") << QByteArray() << "<p style=\"color: green; font: bold;\"></p>";
}

void TestEditorPages::statusBytesColour()
{
    QFETCH(QByteArray, status);
    QFETCH(QString, shown);
    m_pages->status->onAppendDeviceStatus(QStringLiteral("ignored"), status);
    QCOMPARE(m_pages->status->lbStatus->text(), shown);
}

void TestEditorPages::errorBoxOnlyForCountedErrors()
{
    QVERIFY(m_pages->startOperation(QString(), 2));
    m_pages->finishOperation(1);
    QVERIFY(m_prompts->requests.isEmpty());   // "No error" after the start is not an error

    QVERIFY(m_pages->startOperation(QString(), 2));
    m_device->setResult(ServerItem::ResultLinkError);
    m_device->setLastErrorText(QStringLiteral("*** first*** second"));
    m_pages->finishOperation(1);
    QCOMPARE(m_prompts->requests.size(), 1);
    QCOMPARE(m_prompts->requests.at(0).kind, Prompt::Critical);
    QCOMPARE(m_prompts->requests.at(0).title, m_device->key());
    QCOMPARE(m_prompts->requests.at(0).text, QStringLiteral("\n* first\n* second"));
}

void TestEditorPages::stripEscapesTextAndHidesFrameDumps()
{
    StatusWidget *strip = m_pages->status;
    strip->onShowLogMessage(0, QStringLiteral("Try to check <A&B> ..."));
    QCOMPARE(strip->lbError->text(), QStringLiteral("<p style=\"color: black;\">Try to check &lt;A&amp;B&gt; ...</p>"));
    strip->onShowLogMessage(0, QStringLiteral("12:00:00 TX (5 ms): ff ff 02"));
    strip->onAppendDeviceError(QString());
    QVERIFY(strip->lbError->text().contains(QLatin1String("&lt;A&amp;B&gt;")));
    strip->onAppendDeviceError(QStringLiteral("error <1>\ntimeout"));
    QCOMPARE(strip->lbError->text(), QStringLiteral("<p style=\"color: red;\">error &lt;1&gt; - timeout</p>"));
}

// ---------------------------------------------------------------------------------------------
// Identification

void TestEditorPages::identification_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::newRow("by polling address") << "btnCheck" << QString() << QList<QMessageBox::StandardButton>();
    QTest::newRow("by tag") << "btnCheckByTag" << "TT101" << QList<QMessageBox::StandardButton>();
    QTest::newRow("by tag typed in small letters") << "btnCheckByTag" << "tt101" << QList<QMessageBox::StandardButton>();
    QTest::newRow("by long tag") << "btnCheckByLongTag" << "Boiler feed" << QList<QMessageBox::StandardButton>();
    QTest::newRow("by command 73") << "btnFindDeviceBy73" << QString() << QList<QMessageBox::StandardButton>{QMessageBox::Yes};
}

void TestEditorPages::identification()
{
    QFETCH(QString, button);
    QFETCH(QString, typed);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    for (QMessageBox::StandardButton answer : answers)
        m_prompts->answerButton(answer);
    QLineEdit *typedInto = button == QLatin1String("btnCheckByLongTag") ? m_pages->field<QLineEdit>("txtLongTag")
                                                                         : m_pages->field<QLineEdit>("txtTag");
    typedInto->clear();
    QTest::keyClicks(typedInto, typed);
    QSignalSpy changed(m_pages.get(), &DeviceWidget::changed);

    m_pages->click(qPrintable(button));

    QVERIFY2(succeeded(*m_pages), qPrintable(m_pages->outcome()));
    QCOMPARE(m_pages->status->progressBar->maximum(), 6);
    QCOMPARE(m_pages->field<QLineEdit>("txtAddress")->text(), QStringLiteral("0x264E123456"));
    QCOMPARE(m_pages->field<QLineEdit>("txtTag")->text(), QStringLiteral("TT101"));
    QCOMPARE(m_pages->field<QLineEdit>("txtDesc")->text(), QStringLiteral("FEED PUMP"));
    QCOMPARE(m_pages->field<QDateEdit>("dateDev")->date(), QDate(2020, 5, 17));
    QCOMPARE(m_pages->field<QSpinBox>("spnDampingTime")->value(), 2);
    QCOMPARE(m_pages->field<UniBaseInput>("txtAssemlblyNumber")->text(), QStringLiteral("4242"));
    QCOMPARE(m_pages->field<QLabel>("lbManufacturerCode")->text(), QStringLiteral("60 26"));
    QCOMPARE(m_pages->field<QLabel>("lbDeviceTypeCode")->text(), QStringLiteral("26 4E"));
    QCOMPARE(m_pages->field<QLabel>("lbUniversalCmdVersion")->text(), QStringLiteral("7"));
    QCOMPARE(m_pages->field<QLabel>("lbFlags")->text(), QStringLiteral("00"));
    QVERIFY(m_pages->field<QPushButton>("btnSaveTagDescDate")->isEnabled());
    QVERIFY(m_pages->pv->findChild<QPushButton *>(QStringLiteral("btnRefresh"))->isEnabled());
    QVERIFY(!changed.isEmpty());
    QCOMPARE(m_prompts->requests.size(), answers.size());
}

void TestEditorPages::identificationFailures_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QMessageBox::StandardButton>("answer");   // to the template or search question
    QTest::addColumn<int>("steps");
    QTest::addColumn<bool>("buttonsEnabled");
    QTest::newRow("silent device keeps its identity") << "silent" << "btnCheck" << QMessageBox::NoButton << 0 << false;
    QTest::newRow("silent device keeps its identity, search by command 73")
        << "silent" << "btnFindDeviceBy73" << QMessageBox::Yes << 0 << false;
    QTest::newRow("tag mismatch") << "mismatch" << "btnCheckByTag" << QMessageBox::NoButton << 3 << true;
    QTest::newRow("wrong template refused") << "template" << "btnCheck" << QMessageBox::Cancel << 2 << false;
    QTest::newRow("wrong template accepted") << "template" << "btnCheck" << QMessageBox::Yes << 6 << true;
    QTest::newRow("revision 5 found by command 73 keeps the saved polling address")
        << "revision 5" << "btnFindDeviceBy73" << QMessageBox::Yes << 6 << true;
    QTest::newRow("revision 5 identity of 12 bytes shows the one-byte manufacturer code")
        << "revision 5" << "btnCheck" << QMessageBox::NoButton << 6 << true;
}

void TestEditorPages::identificationFailures()
{
    QFETCH(QString, fault);
    QFETCH(QString, button);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, steps);
    QFETCH(bool, buttonsEnabled);
    if (fault == QLatin1String("silent")) {
        identify();
        HartSimFaults silent;
        silent.silent = true;
        m_sim->setFaults(silent);
    } else if (fault == QLatin1String("mismatch")) {
        m_sim->updateDevice(0, [](HartSimDevice &d) {
            d.values.insert(QStringLiteral("reply_data_13"),
                            HartSimUniversalCommands::pack(QStringLiteral("OTHER"), 8) + QByteArray(15, '\0'));
        });
        m_pages->field<QLineEdit>("txtTag")->setText(QStringLiteral("TT101"));
    } else if (fault == QLatin1String("revision 5")) {
        m_sim->updateDevice(0, [](HartSimDevice &d) {
            d.pollingAddress = 5;
            d.universalRevision = 5;
            d.identityLength = 12;   // without the two-byte manufacturer identification
        });
        m_pages->field<QSpinBox>("spnPollingAddress")->setValue(5);
    } else {
        m_pages->common->expectedManufacturerCode = 0xE0;
        m_pages->common->expectedDeviceTypeCode = 0x94;
    }
    if (answer != QMessageBox::NoButton)
        m_prompts->answerButton(answer);
    QSignalSpy stepSpy(m_pages->common, &DeviceWidget::next_step);
    QSignalSpy mismatch(m_pages->common, &CommonWidget::appendDeviceError);
    const QVariant savedAddress = m_device->save().value(QStringLiteral("polling_address"));

    m_pages->click(qPrintable(button));

    QCOMPARE(m_device->save().value(QStringLiteral("polling_address")), savedAddress);
    QCOMPARE(m_pages->status->progressBar->value(), 0);
    QCOMPARE(stepSpy.count(), steps);
    QCOMPARE(succeeded(*m_pages), steps == 6);
    QCOMPARE(m_pages->field<QPushButton>("btnReset")->isEnabled(), buttonsEnabled);
    QCOMPARE(mismatch.count(), fault == QLatin1String("mismatch") ? 1 : 0);
    if (fault == QLatin1String("mismatch"))
        QCOMPARE(m_pages->field<QLineEdit>("txtTag")->text(), QStringLiteral("TT101"));
    if (fault == QLatin1String("revision 5"))
        QCOMPARE(m_pages->field<QLabel>("lbManufacturerCode")->text(), QStringLiteral("26"));
    if (fault == QLatin1String("silent")) {
        QCOMPARE(m_prompts->requests.last().kind, Prompt::Critical);
        QCOMPARE(m_device->uniqueAddress(), QByteArray::fromHex("264E123456"));
        QCOMPARE(m_pages->field<QLineEdit>("txtAddress")->text(), QStringLiteral("0x264E123456"));
        QCOMPARE(m_pages->field<QLineEdit>("txtTag")->text(), QStringLiteral("TT101"));
    }
}

void TestEditorPages::revision5DeviceKeepsItsAddress()
{
    HartSimDevice old(2, 0x26, 0x4E, QByteArray::fromHex("222222"));
    old.universalRevision = 5;
    m_sim->addDevice(old);
    m_device->setAddress(2);
    m_pages->click("btnCheck");
    QVERIFY2(succeeded(*m_pages), qPrintable(m_pages->outcome()));
    QVERIFY(!commandsSent(*m_sim).contains(7));
    QCOMPARE(m_pages->field<QSpinBox>("spnPollingAddress")->value(), 2);
    QCOMPARE(m_device->parameterInt(QStringLiteral("polling_address")), 2);
}

void TestEditorPages::loadingKeepsDeviceAddress()
{
    auto *spin = m_pages->field<QSpinBox>("spnPollingAddress");
    QCOMPARE(spin->maximum(), CommonWidget::MaxPollingAddress);
    m_device->setAddress(5);
    m_pages->showDeviceInfoInFields();
    QCOMPARE(spin->value(), 5);
    QCOMPARE(m_device->address(), 5);
    QVERIFY(!m_device->hasStateFlag(Device::StateChanged));

    // An address read from the device earlier does not replace the one set and saved since.
    m_device->setParameter(QStringLiteral("polling_address"), 3);
    m_pages->showDeviceInfoInFields();
    QCOMPARE(spin->value(), 5);
    QCOMPARE(m_device->address(), 5);
    spin->setValue(4);   // a person's edit
    QCOMPARE(m_device->address(), 4);
    QVERIFY(m_device->hasStateFlag(Device::StateChanged));
}

// ---------------------------------------------------------------------------------------------
// Writes

void TestEditorPages::writes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
    QTest::addColumn<QString>("simKey");
    QTest::addColumn<QVariant>("expected");
    using Answers = QList<QMessageBox::StandardButton>;
    const Answers yes{QMessageBox::Yes};
    QTest::newRow("tag") << "txtTag" << "PT7" << "btnSaveTagDescDate" << yes << "tag" << QVariant(QStringLiteral("PT7"));
    QTest::newRow("message") << "txtMessage" << "HELLO" << "btnReadSaveMessage" << yes << "message"
                             << QVariant(QStringLiteral("HELLO"));
    QTest::newRow("descriptor typed with refused characters")
        << "txtDesc" << QStringLiteral("pump {1} ~\"") << "btnSaveTagDescDate" << yes << "descriptor"
        << QVariant(QStringLiteral("PUMP 1"));
    QTest::newRow("long tag") << "txtLongTag" << "Flow line 2" << "btnSaveLongTag" << yes << "long_tag"
                              << QVariant(QStringLiteral("Flow line 2"));
    QTest::newRow("final assembly number") << "txtAssemlblyNumber" << "16777215" << "btnSaveAssemblyNumber" << yes
                                           << "final_assembly_number" << QVariant(16777215);
    QTest::newRow("preambles") << "spnPreamblesCount" << "7" << "btnSavePreamblesCount" << yes << "preambles_count"
                               << QVariant(7);
    QTest::newRow("damping") << "spnDampingTime" << "3" << "btnSaveDampingTime" << yes << "damping_time"
                             << QVariant(3.0f);
    QTest::newRow("damping typed, as command 34's float") << "spnDampingTime" << "5" << "btnSaveDampingTime" << yes
                                                         << "damping_time" << QVariant(QByteArray::fromHex("40a00000"));
    QTest::newRow("damping reported beyond the field and left as shown") << "spnDampingTime" << "reported 300"
                                                                         << "btnSaveDampingTime" << yes << "damping_time"
                                                                         << QVariant(QByteArray::fromHex("43960000"));
    QTest::newRow("damping reported beyond the field and stepped down") << "spnDampingTime" << "reported 300, key down"
                                                                        << "btnSaveDampingTime" << yes << "damping_time"
                                                                        << QVariant(QByteArray::fromHex("42000000"));
    QTest::newRow("loop current kept") << "spnPollingAddress" << "0" << "btnSavePollingAddress"
                                       << Answers{QMessageBox::Yes, QMessageBox::No} << "current_loop_mode"
                                       << QVariant(1);
    QTest::newRow("loop current disabled") << "spnPollingAddress" << "0" << "btnSavePollingAddress"
                                           << Answers{QMessageBox::Yes, QMessageBox::Yes} << "current_loop_mode"
                                           << QVariant(0);
    QTest::newRow("cancelled") << "txtMessage" << "HELLO" << "btnReadSaveMessage" << Answers{QMessageBox::Cancel}
                               << "message" << QVariant();
}

void TestEditorPages::writes()
{
    QFETCH(QString, field);
    QFETCH(QString, input);
    QFETCH(QString, button);
    QFETCH(QList<QMessageBox::StandardButton>, answers);
    QFETCH(QString, simKey);
    QFETCH(QVariant, expected);
    // "reported <value>[, <edit>]": the instrument reports the value, and a person edits the
    // field showing it so, or leaves it.
    const QStringList reported = input.startsWith(QLatin1String("reported ")) ? input.mid(9).split(QStringLiteral(", ")) : QStringList();
    if (!reported.isEmpty())
        m_sim->updateDevice(0, [&](HartSimDevice &d) { d.values.insert(simKey, reported.first().toFloat()); });
    identify();
    QWidget *target = m_pages->field<QWidget>(qPrintable(field));
    if (reported.size() > 1) {
        editSpinBox(static_cast<QSpinBox *>(target), reported.last());
    } else if (!reported.isEmpty()) {
        QCOMPARE(static_cast<QSpinBox *>(target)->value(), reported.first().toInt());
    } else if (auto *spin = qobject_cast<QSpinBox *>(target)) {
        spin->setValue(input.toInt() + 1);
        spin->setValue(input.toInt());
    } else {
        static_cast<QLineEdit *>(target)->clear();
        QTest::keyClicks(target, input);
    }
    for (QMessageBox::StandardButton answer : answers)
        m_prompts->answerButton(answer);

    m_pages->click(qPrintable(button));

    QCOMPARE(m_prompts->requests.size(), answers.size());
    QCOMPARE(m_prompts->requests.at(0).defaultButton, QMessageBox::Cancel);
    const HartSimDevice simDevice = m_sim->device(0);
    const QVariant stored = simKey == QLatin1String("tag") ? QVariant(simDevice.tag) : simDevice.values.value(simKey);
    if (!expected.isValid()) {
        QVERIFY(m_sim->requests().isEmpty());
        return;
    }
    // Bytes expected are those the write's request carried.
    if (expected.typeId() == QMetaType::QByteArray)
        QCOMPARE(m_sim->requests().first().data, expected.toByteArray());
    else
        QCOMPARE(stored, expected);
    QVERIFY(succeeded(*m_pages));
    QVERIFY(!isBlue(target));
}

void TestEditorPages::writeProtection()
{
    identify();
    auto *box = m_pages->field<QCheckBox>("chkWriteProtection");
    m_sim->setHandler(129, [](HartSimDevice &, const QByteArray &) {
        HartSimResponse refused;
        refused.responseCode = 16;   // access restricted
        return refused;
    });
    m_prompts->answerButton(QMessageBox::Yes);
    box->setChecked(true);
    QVERIFY(!box->isChecked());
    QVERIFY(!m_device->hasParameter(QStringLiteral("write_protection"))
            || m_device->parameterInt(QStringLiteral("write_protection")) == 0);

    HartSimUniversalCommands::install(*m_sim);
    m_prompts->answerButton(QMessageBox::Yes);
    box->setChecked(true);
    QVERIFY(box->isChecked());
    QCOMPARE(m_sim->device(0).values.value(QStringLiteral("write_protection")).toInt(), 1);

    m_sim->clearRequests();
    m_pages->field<QLineEdit>("txtMessage")->setText(QStringLiteral("HELLO"));
    m_pages->click("btnReadSaveMessage");
    QCOMPARE(m_prompts->requests.last().text, QStringLiteral("The device is write-protected!"));
    QVERIFY(m_sim->requests().isEmpty());

    box->setChecked(false);   // reads the flag again: still protected
    QVERIFY(box->isChecked());
    QCOMPARE(commandsSent(*m_sim), QList<quint8>{15});
}

void TestEditorPages::refusedInputSendsNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("button");
    QTest::newRow("assembly number beyond three bytes") << "txtAssemlblyNumber" << "16777216" << "btnSaveAssemblyNumber";
    QTest::newRow("long tag outside Latin-1") << "txtLongTag" << QStringLiteral("Печь 3") << "btnSaveLongTag";
    QTest::newRow("damping the device answered as NaN") << "spnDampingTime" << QString() << "btnSaveDampingTime";
}

void TestEditorPages::refusedInputSendsNothing()
{
    QFETCH(QString, field);
    QFETCH(QString, input);
    QFETCH(QString, button);
    m_sim->updateDevice(0, [](HartSimDevice &device) { device.values.insert(QStringLiteral("damping_time"), qQNaN()); });
    identify();
    if (!input.isEmpty())
        m_pages->field<QLineEdit>(qPrintable(field))->setText(input);
    m_pages->click(qPrintable(button));
    QCOMPARE(m_prompts->requests.size(), 1);
    QCOMPARE(m_prompts->requests.at(0).kind, input.isEmpty() ? Prompt::Warning : Prompt::Critical);
    QCOMPARE(m_prompts->requests.at(0).text.contains(QLatin1String("gave no value")), input.isEmpty());
    QVERIFY(m_sim->requests().isEmpty());
}

void TestEditorPages::selfTestWaitsWhileBusy_data()
{
    QTest::addColumn<int>("busyAnswers");
    QTest::addColumn<bool>("done");
    QTest::addColumn<int>("responseCode");
    QTest::newRow("busy for a while") << 2 << true << 32;
    QTest::newRow("busy for ever") << 1000 << false << 32;
    QTest::newRow("busy bit among others, 33") << 2 << true << 33;
    QTest::newRow("busy bit among others, 34") << 2 << true << 34;
    QTest::newRow("delayed response dead, 35, ends at once") << 1000 << false << 35;
    QTest::newRow("conflict, 36, ends at once") << 1000 << false << 36;
}

void TestEditorPages::selfTestWaitsWhileBusy()
{
    QFETCH(int, busyAnswers);
    QFETCH(bool, done);
    QFETCH(int, responseCode);
    identify();
    auto remaining = std::make_shared<std::atomic<int>>(busyAnswers);
    m_sim->setHandler(48, [remaining, responseCode](HartSimDevice &, const QByteArray &) {
        if (remaining->fetch_sub(1) > 0)
            return busyAnswer(quint8(responseCode));
        HartSimResponse ready;
        ready.data = QByteArray(9, '\0');
        return ready;
    });
    m_pages->common->setSelfTestWaitLimit(1500);
    m_prompts->answerButton(QMessageBox::Yes);

    m_pages->click("btnSelfTest");

    QCOMPARE(m_prompts->requests.at(0).defaultButton, QMessageBox::Cancel);
    QCOMPARE(succeeded(*m_pages), done);
    const int statusReads = int(commandsSent(*m_sim).count(48));
    QVERIFY(done ? statusReads == busyAnswers + 1 : statusReads < 20);
    if (responseCode > 34)
        QCOMPARE(statusReads, 1);
}

void TestEditorPages::resetWaitLetsEventsThrough()
{
    identify();
    // The timer stands for the window's repaints: it runs only while the wait lets events through.
    int ticksWhileWaiting = 0;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, this, [&] {
        const QList<quint8> sent = commandsSent(*m_sim);
        if (sent.contains(42) && !sent.contains(48))
            ++ticksWhileWaiting;
    });
    ticks.start(20);

    m_pages->click("btnReset");

    QVERIFY2(succeeded(*m_pages), qPrintable(m_pages->outcome()));
    QCOMPARE(commandsSent(*m_sim), (QList<quint8>{42, 48}));
    // Two seconds in slices of at most 100 ms; sleeping them at once lets two ticks through.
    QVERIFY2(ticksWhileWaiting >= 10, qPrintable(QString::number(ticksWhileWaiting)));
}

// ---------------------------------------------------------------------------------------------
// Process variables

void TestEditorPages::variableRowsFollowAnswer_data()
{
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<int>("tvUnit");
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QVariantMap>("poll"); // then shown: a polling response that measured nothing
    QTest::newRow("PV only") << 9 << 32 << "" << QVariantMap();
    QTest::newRow("with SV") << 14 << 32 << "SV" << QVariantMap();
    QTest::newRow("with TV") << 19 << 32 << "SV TV" << QVariantMap();
    QTest::newRow("all four") << 24 << 32 << "SV TV QV" << QVariantMap();
    QTest::newRow("TV not used") << 24 << 250 << "SV QV" << QVariantMap();
    QTest::newRow("failed poll") << 24 << 32 << "SV TV QV" << QVariantMap{{"errorText", "*** Response timeout"}};
    QTest::newRow("poll of PV not available (NaN)") << 24 << 32 << "SV TV QV" << QVariantMap{{"PV", qQNaN()}};
}

void TestEditorPages::variableRowsFollowAnswer()
{
    QFETCH(int, replyLength);
    QFETCH(int, tvUnit);
    QFETCH(QString, rows);
    QFETCH(QVariantMap, poll);
    m_sim->updateDevice(0, [=](HartSimDevice &d) {
        d.values.insert(QStringLiteral("reply_length_3"), replyLength);
        d.values.insert(QStringLiteral("TV_unit_code"), tvUnit);
    });
    QVERIFY(m_pages->pv->readPrimaryVariable(true));
    if (!poll.isEmpty())
        m_pages->pv->showPeriodResponsePV(poll);
    const QString value = poll.isEmpty() ? QStringLiteral("21.5") : QStringLiteral("-");
    QStringList shown;
    for (const char *name : {"SV", "TV", "QV"}) {
        auto *lcd = m_pages->pv->findChild<QLCDNumber *>(QStringLiteral("lcd%1Value").arg(QLatin1String(name)));
        if (!lcd->isHidden()) {
            shown.append(QLatin1String(name));
            QCOMPARE(readOut(lcd), value);
        }
    }
    QCOMPARE(shown.join(QLatin1Char(' ')), rows);
    QCOMPARE(readOut(m_pages->pv->findChild<QLCDNumber *>(QStringLiteral("lcdPVValue"))), value);
}

void TestEditorPages::variablesErrorsAndStatusLines()
{
    PVWidget *pv = m_pages->pv;
    pv->onUpdateButtons(true);
    // A measurement error reported in the additional status fails the interactive read.
    m_sim->updateDevice(0, [](HartSimDevice &d) {
        d.values.insert(QStringLiteral("additional_status"), QByteArray::fromHex("050000000000000000"));
    });
    pv->findChild<QCheckBox *>(QStringLiteral("chkAdditionalStatus"))->setChecked(true);
    QVERIFY(!pv->readPrimaryVariable(true));
    QCOMPARE(m_prompts->requests.last().text, QStringLiteral("PV measurement error=5! Try again please."));

    // Failed commands 3 and 2 cost the refresh its steps and show nothing measured.
    for (quint8 command : {3, 2})
        m_sim->setHandler(command, [](HartSimDevice &, const QByteArray &) { return busyAnswer(); });
    m_pages->click("btnRefresh");
    QVERIFY(!succeeded(*m_pages));
    QCOMPARE(pv->findChild<UniBaseInput *>(QStringLiteral("txtOutputCurrentP"))->text(), QString());
    QCOMPARE(readOut(pv->findChild<QLCDNumber *>(QStringLiteral("lcdPVValue"))), QStringLiteral("-"));

    auto *box = pv->findChild<QPlainTextEdit *>(QStringLiteral("txtStatusText"));
    box->clear();
    pv->onInitProgressBar(QString(), 1);
    pv->appendDeviceStatus(QStringLiteral("*** Configuration changed"), QByteArray::fromHex("0040"));
    pv->appendDeviceStatus(QStringLiteral("*** Configuration changed\n--- extra"), QByteArray::fromHex("0050"));
    pv->appendDeviceError(QString());
    QCOMPARE(box->toPlainText(), QStringLiteral("[00 40] *** Configuration changed\n--- extra"));
    QVERIFY(pv->findChild<QPushButton *>(QStringLiteral("btnResetConfigChanged"))->isEnabled());
}

void TestEditorPages::pollingResponseShowsItsOwnValues()
{
    PVWidget *pv = m_pages->pv;
    QVERIFY(pv->readPrimaryVariable(true));
    QSignalSpy changed(m_pages.get(), &DeviceWidget::changed);
    for (const char *key : {"PV", "SV", "TV", "QV"})
        m_device->removeParameter(QLatin1String(key));   // the polling thread empties them
    pv->showPeriodResponsePV({{QStringLiteral("PV"), 1.234f}, {QStringLiteral("SV"), 2.5f},
                              {QStringLiteral("output_current"), 4.5f}});
    QCOMPARE(pv->findChild<QLCDNumber *>(QStringLiteral("lcdPVValue"))->value(), 1.23);
    QCOMPARE(pv->findChild<QLCDNumber *>(QStringLiteral("lcdSVValue"))->value(), 2.5);
    QCOMPARE(readOut(pv->findChild<QLCDNumber *>(QStringLiteral("lcdTVValue"))), QStringLiteral("-"));
    auto *current = pv->findChild<UniBaseInput *>(QStringLiteral("txtOutputCurrent"));
    QCOMPARE(current->text(), QStringLiteral("4.50"));
    QVERIFY(!isBlue(current));
    QCOMPARE(changed.count(), 0);
}

// ---------------------------------------------------------------------------------------------
// Re-entry

void TestEditorPages::clickDuringTransactionCannotDeadlock()
{
    m_sim->addDevice(HartSimDevice(1, 0x26, 0x4E, QByteArray::fromHex("111111")));
    PageSet second;
    second.bind(addDevice(1));
    QPushButton *otherCheck = second.field<QPushButton>("btnCheck");
    bool posted = false;
    // The click arrives while the first page set's transaction holds the line.
    connect(m_device, &Device::modbusMessage, this, [&] {
        if (posted)
            return;
        posted = true;
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(otherCheck, new QMouseEvent(type, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                                                                    Qt::LeftButton, Qt::NoModifier));
        }
    });

    m_pages->click("btnCheck");

    QVERIFY(posted);
    QVERIFY2(succeeded(*m_pages), qPrintable(m_pages->outcome()));
}

QTEST_MAIN(TestEditorPages)
#include "tst_editorpages.moc"
