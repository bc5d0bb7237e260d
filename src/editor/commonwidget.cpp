#include "editor/commonwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "model/device.h"
#include "model/port.h"
#include "widgets/smallsymbolvalidator.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSignalBlocker>

namespace {

constexpr int IdentificationSteps = 6;
constexpr int Revision5 = 5;
constexpr int Revision7 = 7;

const QString AddressKey = QStringLiteral("address");
const QString PollingAddressKey = QStringLiteral("polling_address");

} // namespace

CommonWidget::CommonWidget(DeviceWidget *parentPage, bool showSelfTest)
    : DeviceWidget(parentPage, nullptr)
{
    ui.setupUi(this);
    loading = false;
    if (parentPage) {
        connect(parentPage, &DeviceWidget::deviceChanged, this, &CommonWidget::onDeviceChanged);
        connect(parentPage, &DeviceWidget::serialNameChanged, this, &CommonWidget::onSerialNameChanged);
    }
    // Their texts travel as packed ASCII: upper-cased as typed, other characters refused.
    for (QLineEdit *field : {ui.txtTag, ui.txtDesc, ui.txtMessage})
        field->setValidator(new SmallSymbolValidator(field));
    ui.txtAssemlblyNumber->setBase(10);
    ui.spnPollingAddress->setMaximum(MaxPollingAddress);
    setDeviceButtons(false);
    ui.btnSelfTest->setVisible(showSelfTest);
}

CommonWidget::~CommonWidget()
{
    DEBUGQT_LOG(4);
}

QList<QWidget *> CommonWidget::deviceButtons() const
{
    return {ui.btnReadSaveMessage, ui.btnSavePollingAddress, ui.btnSaveTagDescDate, ui.btnSaveAssemblyNumber,
            ui.btnSaveDampingTime, ui.btnSavePreamblesCount, ui.btnReset, ui.btnSelfTest,
            ui.btnReadLongTag, ui.btnSaveLongTag, ui.chkWriteProtection};
}

QList<QWidget *> CommonWidget::pollingSensitiveControls() const
{
    // Every identification clears the polled device's identity, the long-tag check included.
    return {ui.btnSavePollingAddress, ui.btnFindDeviceBy73, ui.btnCheck, ui.btnCheckByTag, ui.btnCheckByLongTag,
            ui.btnReset, ui.cmbPorts};
}

void CommonWidget::onUpdateButtons(bool enabled)
{
    for (QWidget *button : deviceButtons())
        button->setEnabled(enabled);
}

void CommonWidget::setDeviceButtons(bool enabled)
{
    onUpdateButtons(enabled);
    emit updateButtons(enabled);
}

void CommonWidget::onStartPeriod(bool enabled)
{
    DEBUGQT_LOG(4) << enabled;
    for (QWidget *control : pollingSensitiveControls())
        control->setEnabled(enabled);
}

void CommonWidget::onDeviceChanged(Device *newDevice)
{
    if (device)
        disconnect(device, &Device::deviceStatus, this, &CommonWidget::onAppendDeviceStatus);
    device = newDevice;
    if (!device)
        return;
    DEBUGQT_LOG(4) << "\"" + (device->port() ? device->port()->property("serial_name").toString() : QString()) + "\"";
    connect(device, &Device::deviceStatus, this, &CommonWidget::onAppendDeviceStatus);
    showPortName();
}

void CommonWidget::onSerialNameChanged()
{
    if (!device)
        return;
    DEBUGQT_LOG(4) << "\"" + (device->port() ? device->port()->property("serial_name").toString() : QString()) + "\"";
    showPortName();
}

void CommonWidget::showPortName()
{
    const QSignalBlocker blocker(ui.cmbPorts);
    ui.cmbPorts->clear();
    if (device->port())
        ui.cmbPorts->addItem(device->port()->property("serial_name").toString());
}

void CommonWidget::on_cmbPorts_currentIndexChanged(int)
{
}

void CommonWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui.retranslateUi(this);
        // The form's texts put the read-or-save captions back to their defaults.
        on_txtTag_textChanged(ui.txtTag->text());
        on_txtMessage_textChanged(ui.txtMessage->text());
        on_txtAssemlblyNumber_textChanged(ui.txtAssemlblyNumber->text());
    }
    DeviceWidget::changeEvent(event);
}

// ---------------------------------------------------------------------------------------------
// Identification

void CommonWidget::on_btnCheck_clicked()
{
    DEBUGQT_LOG(4);
    checkDevice(QString(), QString());
}

void CommonWidget::on_btnCheckByTag_clicked()
{
    const QString tag = ui.txtTag->text().trimmed();
    if (tag.isEmpty()) {
        Prompt::critical(this, tr("Device identification by tag"),
                         tr("Tag is empty!\nPlease enter a tag with up to 8 characters"), QMessageBox::Ok);
        return;
    }
    checkDevice(tag, QString());
}

void CommonWidget::on_btnCheckByLongTag_clicked()
{
    const QString longTag = ui.txtLongTag->text().trimmed();
    if (longTag.isEmpty()) {
        Prompt::critical(this, tr("Device identification by long tag"),
                         tr("Long tag is empty!\nPlease enter a long tag with up to 32 characters"), QMessageBox::Ok);
        return;
    }
    checkDevice(QString(), longTag);
}

void CommonWidget::checkDevice(const QString &tag, const QString &longTag)
{
    DEBUGQT_LOG(4) << tag << longTag;
    if (!device)
        return;
    const QString by = !tag.isEmpty() ? tr("by tag") : (!longTag.isEmpty() ? tr("by long tag") : QString());
    if (!startOperation(tr("Device identification %1").arg(by), IdentificationSteps))
        return;
    clearIdentification(tag.isEmpty(), longTag.isEmpty());
    if (!device->checkDevice(tag, longTag, false))
        showKeptIdentity(tag, longTag);
    else if (identifyDevice(tag))
        emit changed();
    finishOperation(0);
}

// The identification's steps once the device has answered; true when the device's values
// changed on the way.
bool CommonWidget::identifyDevice(const QString &tag)
{
    device->setStateFlags(Device::StateInitial);
    showDeviceInfoInField(AddressKey, ui.txtAddress, true);
    nextStep();
    if (!acceptIdentity())
        return false;
    return readIdentifiedDevice(tag);
}

bool CommonWidget::acceptIdentity()
{
    showIdentification(false);
    const bool accepted = checkDeviceTemplate();
    setDeviceButtons(accepted);
    device->statusText(true, false);
    nextStep();
    return accepted;
}

bool CommonWidget::readIdentifiedDevice(const QString &tag)
{
    if (!device->readDevice(7))
        return true;
    nextStep();
    showReadPollingAddress();

    if (!device->readDevice(13))
        return true;
    const QString deviceTag = device->parameterString(QStringLiteral("tag"));
    if (!tag.isEmpty() && tag != deviceTag) {
        const QString message = tr("ERROR: Tags not equal!\nSend: '%1'\nResv: '%2'").arg(tag, deviceTag);
        Prompt::critical(this, tr("Device identification by tag"), message, QMessageBox::Ok);
        emit appendDeviceError(message);
        return false;
    }
    showDeviceInfoInField(QStringLiteral("tag"), ui.txtTag, true);
    showDeviceInfoInField(QStringLiteral("descriptor"), ui.txtDesc, true);
    showDeviceInfoInField(QStringLiteral("date"), ui.dateDev, true);
    nextStep();

    if (!device->readDevice(15))
        return true;
    nextStep();
    showDeviceInfoInField(QStringLiteral("damping_time"), ui.spnDampingTime, true);
    showDeviceInfoInField(QStringLiteral("write_protection"), ui.chkWriteProtection, true);

    if (!device->readDevice(16))
        return true;
    nextStep();
    showDeviceInfoInField(QStringLiteral("final_assembly_number"), ui.txtAssemlblyNumber, true);
    return true;
}

void CommonWidget::on_btnFindDeviceBy73_clicked()
{
    DEBUGQT_LOG(4);
    if (!device)
        return;
    const auto answer = Prompt::warning(this, tr("Search by command 73"), tr("Did you press two buttons on the device?"),
                                        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer != QMessageBox::Yes)
        return;
    if (!startOperation(tr("Search by command 73"), IdentificationSteps))
        return;
    clearIdentification(true, true);
    if (device->readDevice(73)) {
        device->setStateFlags(Device::StateInitial);
        searchDevice();
        emit changed();
    } else {
        showKeptIdentity(QString(), QString());
    }
    finishOperation(0);
}

// The search reads on whatever the template check says, and stops at the first failed read.
void CommonWidget::searchDevice()
{
    showDeviceInfoInField(AddressKey, ui.txtAddress, true);
    setFieldColorModified(ui.spnPollingAddress, false);
    nextStep();
    showIdentification(false);
    setDeviceButtons(checkDeviceTemplate());
    device->statusText(true, false);
    nextStep();

    if (!device->readDevice(7))
        return;
    nextStep();
    showReadPollingAddress();
    if (!device->readDevice(13))
        return;
    showDeviceInfoInField(QStringLiteral("tag"), ui.txtTag, true);
    showDeviceInfoInField(QStringLiteral("descriptor"), ui.txtDesc, true);
    showDeviceInfoInField(QStringLiteral("date"), ui.dateDev, true);
    nextStep();
    if (!device->readDevice(15))
        return;
    nextStep();
    showDeviceInfoInField(QStringLiteral("damping_time"), ui.spnDampingTime, true);
    showDeviceInfoInField(QStringLiteral("write_protection"), ui.chkWriteProtection, true);
    if (!device->readDevice(16))
        return;
    nextStep();
    showDeviceInfoInField(QStringLiteral("final_assembly_number"), ui.txtAssemlblyNumber, true);
}

// After command 7, whose reading the device took as its address. A device of revision 5 has no
// command 7: its configured address stands, and the box must not turn the absent reading into 0.
void CommonWidget::showReadPollingAddress()
{
    if (device->parameterInt(QStringLiteral("universal_cmd_version")) == Revision5)
        device->setParameter(PollingAddressKey, device->address());
    showDeviceInfoInField(PollingAddressKey, ui.spnPollingAddress, true);
}

// Only the page is emptied while it asks: the device keeps its identity until another
// instrument has answered in its place.
void CommonWidget::clearIdentification(bool clearTag, bool clearLongTag)
{
    setDeviceButtons(false);
    loading = true;
    if (clearTag)
        ui.txtTag->clear();
    if (clearLongTag)
        ui.txtLongTag->clear();
    ui.txtAddress->setText(QStringLiteral("0x0"));
    ui.txtAssemlblyNumber->setText(QStringLiteral("0"));
    ui.txtDesc->clear();
    ui.txtMessage->clear();
    ui.chkWriteProtection->setChecked(false);
    showIdentification(true);
    loading = false;
    emit resetWidget();
}

// Nothing answered: the fields show the device as it still is, but for a searched tag, which
// stays as typed for the next try.
void CommonWidget::showKeptIdentity(const QString &tag, const QString &longTag)
{
    showDeviceInfoInFields();
    loading = true;
    if (!tag.isEmpty())
        ui.txtTag->setText(tag);
    if (!longTag.isEmpty())
        ui.txtLongTag->setText(longTag);
    loading = false;
}

bool CommonWidget::checkDeviceTemplate()
{
    const int manufacturer = device->parameterInt(QStringLiteral("manufacturer_code")) & 0xFF;
    const int type = device->parameterInt(QStringLiteral("device_type_code")) & 0xFF;
    if (expectedManufacturerCode == 0 || expectedDeviceTypeCode == 0
        || (manufacturer == expectedManufacturerCode && type == expectedDeviceTypeCode))
        return true;

    // The status strip shows the wait cursor while the operation runs.
    QGuiApplication::restoreOverrideCursor();
    const auto answer = Prompt::warning(this, tr("Check device"),
                                        tr("Wrong template %1 for\ndevice type code = 0x%2%3 !!!\n\nContinue ?")
                                            .arg(device->templateName(), Utils::hexByte(quint8(manufacturer)).toUpper(),
                                                 Utils::hexByte(quint8(type)).toUpper()),
                                        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    return answer != QMessageBox::Cancel;
}

void CommonWidget::showIdentification(bool clear)
{
    showDeviceInfoInField(QStringLiteral("preambles_count"), ui.spnPreamblesCount, true);
    const QList<QLabel *> labels{ui.lbManufacturerCode, ui.lbDeviceTypeCode, ui.lbUniversalCmdVersion,
                                 ui.lbSpecificCmdVersion, ui.lbSoftwareVersion, ui.lbHardwareVersion, ui.lbFlags};
    if (clear) {
        for (QLabel *label : labels)
            label->clear();
        return;
    }
    auto byteOf = [this](const char *key) { return device->parameterInt(QLatin1String(key)) & 0xFF; };
    ui.lbManufacturerCode->setText(manufacturerText());
    ui.lbDeviceTypeCode->setText(
        Utils::bufferToHex(device->parameterByteArray(QStringLiteral("expanded_device_type"))).toUpper());
    ui.lbUniversalCmdVersion->setNum(byteOf("universal_cmd_version"));
    ui.lbSpecificCmdVersion->setNum(byteOf("specific_cmd_version"));
    ui.lbSoftwareVersion->setNum(byteOf("software_version"));
    ui.lbHardwareVersion->setNum(byteOf("hardware_version"));
    ui.lbFlags->setText(Utils::hexByte(quint8(byteOf("device_flags"))));
}

// The two-byte manufacturer identification comes only in the identity of HART 7 devices; the
// identity of an older one (12 bytes for HART 5) carries the one-byte code alone.
QString CommonWidget::manufacturerText() const
{
    const QByteArray vendorId = device->parameterByteArray(QStringLiteral("vendorID"));
    if (device->parameterInt(QStringLiteral("universal_cmd_version")) >= Revision7 && !vendorId.isEmpty())
        return Utils::bufferToHex(vendorId).toUpper();
    if (!device->hasParameter(QStringLiteral("manufacturer_code")))
        return QString();
    return Utils::hexByte(quint8(device->parameterInt(QStringLiteral("manufacturer_code")))).toUpper();
}

void CommonWidget::showDeviceInfoInFields()
{
    DEBUGQT_LOG(4);
    if (!device)
        return;
    showIdentification(false);
    showDeviceInfoInField(AddressKey, ui.txtAddress, true);
    showPollingAddress();
    showDeviceInfoInField(QStringLiteral("tag"), ui.txtTag, true);
    showDeviceInfoInField(QStringLiteral("descriptor"), ui.txtDesc, true);
    showDeviceInfoInField(QStringLiteral("date"), ui.dateDev, true);
    showDeviceInfoInField(QStringLiteral("damping_time"), ui.spnDampingTime, true);
    showDeviceInfoInField(QStringLiteral("final_assembly_number"), ui.txtAssemlblyNumber, true);
    showDeviceInfoInField(QStringLiteral("write_protection"), ui.chkWriteProtection, true);
    showDeviceInfoInField(QStringLiteral("long_tag"), ui.txtLongTag, true);
    DeviceWidget::showDeviceInfoInFields();
}

void CommonWidget::showPollingAddress()
{
    // The configured address stands: the one the user set and saved, or the one the device last
    // reported (a read of command 7 sets it), never an older reading kept among the parameters.
    // Only a person's edit changes it here.
    loading = true;
    {
        const QSignalBlocker blocker(ui.spnPollingAddress);
        ui.spnPollingAddress->setValue(device->address());
    }
    bindField(PollingAddressKey, ui.spnPollingAddress, true);
    setFieldColorModified(ui.spnPollingAddress, false);
    loading = false;
}
