#include "editor/commonwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "model/device.h"

#include <QElapsedTimer>
#include <QSignalBlocker>

namespace {

constexpr int ResetWaitMs = 2000;
constexpr int SelfTestPollPauseMs = 200;
constexpr quint8 BusyResponseCode = 32;
constexpr quint8 DelayedResponseInitiated = 33;
constexpr quint8 DelayedResponseRunning = 34;
constexpr quint8 WriteProtectedResponseCode = 7;

const QString WriteProtectionKey = QStringLiteral("write_protection");
const QString FinalAssemblyNumberKey = QStringLiteral("final_assembly_number");
const QString LongTagKey = QStringLiteral("long_tag");
const QString MessageKey = QStringLiteral("message");

bool isLatin1(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return false;
    }
    return true;
}

} // namespace

QString CommonWidget::readOrSaveCaption(bool read)
{
    return read ? tr("Read") : tr("Save");
}

bool CommonWidget::confirmWrite(const QString &what)
{
    const QString title = tr("Writing ") + what;
    if ((device->parameterInt(WriteProtectionKey) & 0xFF) == 1) {
        Prompt::warning(this, title, tr("The device is write-protected!"), QMessageBox::Ok);
        return false;
    }
    const QString of = what.isEmpty() ? QString() : tr("of ") + what;
    return confirm(title, tr("Do you want to save your changes %1?").arg(of));
}

void CommonWidget::readItem(const QString &what, int command, const QList<Binding> &bindings)
{
    if (!device || !startOperation(tr("Reading ") + what, 1))
        return;
    if (device->readDevice(command)) {
        for (const Binding &binding : bindings)
            showDeviceInfoInField(binding.first, binding.second, true);
        nextStep();
    }
    finishOperation(0);
}

void CommonWidget::writeItem(const QString &what, int command, const QList<Binding> &bindings,
                             const std::function<void()> &storeValues)
{
    if (!device || !confirmWrite(what))
        return;
    if (!startOperation(tr("Writing ") + what, 1))
        return;
    storeValues();
    if (device->writeDevice(command)) {
        nextStep();
        for (const Binding &binding : bindings)
            setFieldColorModified(binding.second, false);
        emit changed();
    }
    finishOperation(0);
}

void CommonWidget::refuseInput(const QString &what, const QString &reason)
{
    Prompt::critical(this, tr("Writing ") + what, reason, QMessageBox::Ok);
}

// ---------------------------------------------------------------------------------------------
// Items

void CommonWidget::on_btnSaveTagDescDate_clicked()
{
    const QString what = tr("tag, descriptor and date");
    const QList<Binding> bindings{{QStringLiteral("tag"), ui.txtTag},
                                  {QStringLiteral("descriptor"), ui.txtDesc},
                                  {QStringLiteral("date"), ui.dateDev}};
    if (ui.txtTag->text().isEmpty() && ui.txtDesc->text().isEmpty()) {
        readItem(what, 13, bindings);
        return;
    }
    writeItem(what, 18, bindings, [this] {
        device->setParameter(QStringLiteral("tag"), ui.txtTag->text());
        device->setParameter(QStringLiteral("descriptor"), ui.txtDesc->text());
        device->setParameter(QStringLiteral("date"), ui.dateDev->date());
    });
}

void CommonWidget::on_btnReadLongTag_clicked()
{
    DEBUGQT_LOG(4);
    readItem(tr("long tag"), 20, {{LongTagKey, ui.txtLongTag}});
}

void CommonWidget::on_btnSaveLongTag_clicked()
{
    const QString what = tr("long tag");
    const QString longTag = ui.txtLongTag->text();
    // Command 22 carries one byte per character.
    if (!isLatin1(longTag)) {
        refuseInput(what, tr("The long tag may hold Latin-1 characters only."));
        return;
    }
    writeItem(what, 22, {{LongTagKey, ui.txtLongTag}}, [this, longTag] { device->setParameter(LongTagKey, longTag); });
}

void CommonWidget::on_btnReadSaveMessage_clicked()
{
    DEBUGQT_LOG(4);
    const QString what = tr("message");
    if (ui.txtMessage->text().isEmpty()) {
        readItem(what, 12, {{MessageKey, ui.txtMessage}});
        return;
    }
    writeItem(what, 17, {{MessageKey, ui.txtMessage}},
              [this] { device->setParameter(MessageKey, ui.txtMessage->text()); });
}

void CommonWidget::on_btnSaveAssemblyNumber_clicked()
{
    const QString what = tr("assemlbly number");
    if (ui.txtAssemlblyNumber->text().isEmpty()) {
        readItem(what, 16, {{FinalAssemblyNumberKey, ui.txtAssemlblyNumber}});
        on_txtAssemlblyNumber_textChanged(ui.txtAssemlblyNumber->text());
        return;
    }
    // Command 19 carries three bytes; a larger number would arrive as another one.
    const uint number = ui.txtAssemlblyNumber->unsignedValue();
    if (number > MaxFinalAssemblyNumber) {
        refuseInput(what, tr("The final assembly number must lie between 0 and %1.").arg(MaxFinalAssemblyNumber));
        return;
    }
    writeItem(what, 19, {{FinalAssemblyNumberKey, ui.txtAssemlblyNumber}},
              [this, number] { device->setParameter(FinalAssemblyNumberKey, int(number)); });
}

void CommonWidget::on_btnSavePreamblesCount_clicked()
{
    DEBUGQT_LOG(4);
    writeItem(tr("number of preambles"), 59, {{QStringLiteral("preambles_count"), ui.spnPreamblesCount}}, [this] {
        device->setParameter(QStringLiteral("preambles_count"), ui.spnPreamblesCount->value() & 0xFF);
    });
}

void CommonWidget::on_btnSaveDampingTime_clicked()
{
    DEBUGQT_LOG(4);
    if (!fieldsHoldValues(tr("Writing ") + tr("damping time"), {ui.spnDampingTime}))
        return;
    writeItem(tr("damping time"), 34, {{QStringLiteral("damping_time"), ui.spnDampingTime}}, [this] {
        device->setParameter(QStringLiteral("damping_time"), ui.spnDampingTime->value());
    });
}

void CommonWidget::on_btnSavePollingAddress_clicked()
{
    DEBUGQT_LOG(4);
    const QString what = tr("polling_address");
    if (!device || !confirmWrite(what))
        return;
    const auto answer = Prompt::warning(this, what, tr("Do you want to disable the current loop function?"),
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    device->setParameter(QStringLiteral("current_loop_mode"), answer == QMessageBox::Yes ? 0 : 1);
    if (!startOperation(tr("Writing ") + what, 1))
        return;
    device->setParameter(QStringLiteral("polling_address"), ui.spnPollingAddress->value());
    if (device->writeDevice(6)) {
        setFieldColorModified(ui.spnPollingAddress, false);
        nextStep();
        emit changed();
    }
    finishOperation(0);
}

void CommonWidget::on_spnPollingAddress_valueChanged(int value)
{
    if (!device)
        return;
    // The identification by polling address addresses what the box shows from now on.
    device->setAddress(value);
    if (!loading) {
        device->addStateFlags(Device::StateChanged);
        emit changed();
    }
}

// ---------------------------------------------------------------------------------------------
// Read-or-save captions

void CommonWidget::on_txtTag_textChanged(const QString &text)
{
    ui.btnSaveTagDescDate->setText(readOrSaveCaption(text.isEmpty() && ui.txtDesc->text().isEmpty()));
}

void CommonWidget::on_txtDesc_textChanged(const QString &text)
{
    ui.btnSaveTagDescDate->setText(readOrSaveCaption(text.isEmpty() && ui.txtTag->text().isEmpty()));
}

void CommonWidget::on_txtMessage_textChanged(const QString &text)
{
    ui.btnReadSaveMessage->setText(readOrSaveCaption(text.isEmpty()));
}

void CommonWidget::on_txtAssemlblyNumber_textChanged(const QString &text)
{
    ui.btnSaveAssemblyNumber->setText(readOrSaveCaption(text.isEmpty()));
}

// ---------------------------------------------------------------------------------------------
// Reset and self test

void CommonWidget::on_btnReset_clicked()
{
    DEBUGQT_LOG(4);
    if (!device || !startOperation(tr("Reset"), 3))
        return;
    if (device->writeDevice(42)) {
        device->resetState();
        nextStep();
        waitRepainting(ResetWaitMs);
        nextStep();
        if (device->statusText(true, false))
            nextStep();
    }
    finishOperation(0);
}

void CommonWidget::on_btnSelfTest_clicked()
{
    DEBUGQT_LOG(4);
    if (!device)
        return;
    if (!confirm(tr("Device self test"),
                 tr("Are you sure you want to start the device self test? It can take some time!"))
        || !startOperation(tr("Self test"), 2))
        return;
    if (!device->writeDevice(41)) {
        finishOperation(0);
        return;
    }
    nextStep();
    waitForSelfTest();
    finishOperation(0);
}

// Reads the status while the device answers busy, up to the wait limit; the test counts as done
// only when the last status read succeeded and no longer showed busy.
void CommonWidget::waitForSelfTest()
{
    QElapsedTimer waited;
    waited.start();
    bool answered = device->statusText(true, false);
    while (deviceAnswersBusy()) {
        if (waited.elapsed() >= m_selfTestWaitLimitMs) {
            DEBUGQT_LOG(1) << "*** device still busy after" << m_selfTestWaitLimitMs << "ms of self test";
            device->logMessage(tr("*** The device is still busy after %1 s; the self test is no longer waited for.")
                                   .arg(m_selfTestWaitLimitMs / 1000));
            return;
        }
        waitRepainting(SelfTestPollPauseMs);
        answered = device->statusText(true, false);
    }
    if (answered)
        nextStep();
}

// The page's waits keep the window painted; user input waits until the operation is over, and
// the busy flag refuses any other action of the page meanwhile.
void CommonWidget::waitRepainting(int milliseconds)
{
    Utils::waitProcessingEvents(quint32(milliseconds), QEventLoop::ExcludeUserInputEvents);
}

bool CommonWidget::deviceAnswersBusy() const
{
    // Response codes are numbers: busy, and a delayed response started or still running, ask to
    // be asked again; every other code (a dead delayed response, a conflict, ...) is a failure.
    const quint8 code = Utils::byteAt(device->lastStatusBytes(), 0);
    return code == BusyResponseCode || code == DelayedResponseInitiated || code == DelayedResponseRunning;
}

// ---------------------------------------------------------------------------------------------
// Write protection

void CommonWidget::on_chkWriteProtection_stateChanged(int state)
{
    DEBUGQT_LOG(4) << state << "IsModifyBlocking" << (loading ? "true" : "false");
    if (loading || !device)
        return;
    if (state == Qt::Checked)
        setWriteProtection();
    else if (state == Qt::Unchecked)
        readWriteProtection();
}

void CommonWidget::setWriteProtection()
{
    if (!confirm(tr("Write protection"),
                 tr("Do you want to set write protection in the device?\n\n"
                    "To remove write protection is possible only\nthrough the menu of the device!"))
        || !startOperation(tr("Set write protection"), 1)) {
        setWriteProtectionBox(false);
        return;
    }
    const bool hadValue = device->hasParameter(WriteProtectionKey);
    const QVariant previous = device->parameter(WriteProtectionKey);
    device->setParameter(WriteProtectionKey, 1);
    if (device->writeDevice(129)) {
        nextStep();
        emit changed();
    } else {
        // Kept at 1, the flag would refuse every later write as write-protected.
        if (hadValue)
            device->setParameter(WriteProtectionKey, previous);
        else
            device->removeParameter(WriteProtectionKey);
        setWriteProtectionBox(false);
    }
    finishOperation(0);
}

// Writing cannot remove the protection; unticking reads the flag instead.
void CommonWidget::readWriteProtection()
{
    if (!startOperation(tr("Reading write protection flag"), 1))
        return;
    if (!device->readDevice(15)) {
        finishOperation(0);
        setWriteProtectionBox(true);
        return;
    }
    nextStep();
    showDeviceInfoInField(WriteProtectionKey, ui.chkWriteProtection, true);
    finishOperation(0);
    const bool stillProtected = (device->parameterInt(WriteProtectionKey) & 0xFF) == 1;
    setWriteProtectionBox(stillProtected);
    if (stillProtected) {
        Prompt::warning(this, tr("Write protection"),
                        tr("To remove write protection is possible only\nthrough the menu of the device!"),
                        QMessageBox::Cancel);
    }
}

void CommonWidget::setWriteProtectionBox(bool ticked)
{
    const QSignalBlocker blocker(ui.chkWriteProtection);
    ui.chkWriteProtection->setChecked(ticked);
}

void CommonWidget::onAppendDeviceStatus(const QString &, const QByteArray &status)
{
    if (Utils::byteAt(status, 0) != WriteProtectedResponseCode || ui.chkWriteProtection->isChecked())
        return;
    device->setParameter(WriteProtectionKey, 1);
    setWriteProtectionBox(true);
}
