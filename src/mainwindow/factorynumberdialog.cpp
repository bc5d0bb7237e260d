#include "mainwindow/factorynumberdialog.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "core/waitcursor.h"
#include "model/device.h"
#include "model/port.h"

#include <QEvent>
#include <QRegularExpression>

namespace {

const QByteArray AccessCode = QByteArray::fromHex("2D7B61C4");
constexpr int IdentityOffset = 4;   // the identity follows the access code
constexpr int IdentityLength = 5;
constexpr int FactoryNumberSize = 3;
constexpr quint32 MaxByte = 0xFF;
constexpr quint32 MaxFactoryNumber = 0xFFFFFF;
// The long address keeps the manufacturer code without its two top bits.
constexpr char AddressManufacturerMask = 0x3F;

// A whole, unsigned number in one of the notations of the number input.
bool isWholeNumber(const QString &text)
{
    static const QRegularExpression number(QRegularExpression::anchoredPattern(
        QStringLiteral("0[xX][0-9a-fA-F]+|[0-9a-fA-F]+[hH]|[01]+[bB]|\\+?[0-9]+")));
    return number.match(text).hasMatch();
}

} // namespace

FactoryNumberDialog::FactoryNumberDialog(QWidget *parent, Device *device)
    : QDialog(parent)
    , m_device(device)
{
    ui.setupUi(this);
    ui.txtFactoryCode->setText(QStringLiteral("0xE0"));
    ui.txtDeviceCode->setText(QStringLiteral("0x90"));
}

void FactoryNumberDialog::on_btnSave_clicked()
{
    DEBUGQT_LOG(4) << "on_btnSave_clicked";
    m_written = false;
    if (!m_device)
        return;
    const QByteArray request = buildRequest();
    if (request.isEmpty())
        return;
    DEBUGQT_LOG(4) << "request:" << Utils::bufferToHex(request);
    if (!writeAndVerify(request))
        return;
    m_written = true;
    Prompt::warning(this, tr("Factory number"), tr("Success!"), QMessageBox::Cancel);
}

bool FactoryNumberDialog::readField(const UniBaseInput *field, quint32 maximum, const QString &refusal,
                                    quint32 &value)
{
    // A value that does not fit would be cut, and an empty field would be taken as 0: either
    // way a permanent identity the user never typed.
    value = field->unsignedValue();
    if (isWholeNumber(field->text().trimmed()) && value <= maximum)
        return true;
    fail(refusal);
    return false;
}

QByteArray FactoryNumberDialog::buildRequest()
{
    quint32 manufacturer = 0;
    quint32 deviceType = 0;
    quint32 number = 0;
    if (!readField(ui.txtFactoryCode, MaxByte, tr("The manufacturer code must be a whole number from 0 to 0xFF."),
                   manufacturer)
        || !readField(ui.txtDeviceCode, MaxByte, tr("The device type code must be a whole number from 0 to 0xFF."),
                      deviceType)
        || !readField(ui.txtDeviceNumber, MaxFactoryNumber,
                      tr("The factory number must be a whole number from 0 to 0xFFFFFF."), number))
        return QByteArray();
    QByteArray request = AccessCode;
    request.append(char(manufacturer));
    request.append(char(deviceType));
    request.append(Port::getBufferFromInt(int(number), FactoryNumberSize));
    return request;
}

bool FactoryNumberDialog::writeAndVerify(const QByteArray &request)
{
    QByteArray expected = request.mid(IdentityOffset, IdentityLength);
    expected[0] = char(expected.at(0) & AddressManufacturerMask);
    QString failure;
    {
        const WaitCursor wait;
        QByteArray answer;
        // A device may take the new identity and still answer with a warning or an error code:
        // whatever the write's result, the identity read back decides.
        m_device->write(tr("factory code"), FactoryCodeCommand, request, answer);
        const QString response = responseText();
        DEBUGQT_LOG(4) << "answer:" << Utils::bufferToHex(answer);
        // Re-identified without emptying the parameter map: the read configuration and the
        // polling address stay for the next save.
        if (!m_device->checkDevice(QString(), QString(), false)) {
            failure = tr("The device did not answer the identification after the write:\n%1")
                          .arg(m_device->lastErrorText());
        } else {
            const QByteArray address = m_device->parameterByteArray(QStringLiteral("address"));
            if (address != expected)
                failure = tr("The device answers with the long address %1, not with the written %2.")
                              .arg(Utils::bufferToHex(address), Utils::bufferToHex(expected));
        }
        if (!failure.isEmpty() && !response.isEmpty())
            failure += QStringLiteral("\n\n") + tr("The device's response to the factory code:\n%1").arg(response);
    }
    if (failure.isEmpty())
        return true;
    fail(failure);
    return false;
}

QString FactoryNumberDialog::responseText() const
{
    const QString error = m_device->lastErrorText();
    return error.isEmpty() ? m_device->lastStatusTexts().join(QLatin1Char('\n')) : error;
}

void FactoryNumberDialog::fail(const QString &text)
{
    Prompt::critical(this, tr("Factory number"), text);
}

void FactoryNumberDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui.retranslateUi(this);
    QDialog::changeEvent(event);
}
