#include "editor/commandwidget.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "model/device.h"
#include "model/port.h"
#include "widgets/readout.h"

#include <QEvent>
#include <QLocale>

namespace {

constexpr int LastListedCommand = 239;
constexpr int CustomEntry = -1;
constexpr int FloatSize = 4;
constexpr int PackedGroup = 4;   // characters packed into three bytes
constexpr int HexCharsPerByte = 3;

const QString CustomCommandName = QStringLiteral("### custom command ### ");

} // namespace

CommandWidget::CommandWidget(QWidget *parent)
    : StackPage(parent)
{
    setupUi(this);
    txtStatus->clear();
    btnSendCustomCmd->setEnabled(false);
}

void CommandWidget::onDeviceChanged(Device *device)
{
    m_device = device;
    fillCommandList();
}

void CommandWidget::onUpdateButtons(bool enable)
{
    btnSendCustomCmd->setEnabled(enable);
}

void CommandWidget::onResetWidget()
{
}

Device *CommandWidget::device() const
{
    return m_device;
}

Port *CommandWidget::port() const
{
    return m_device ? m_device->port() : nullptr;
}

void CommandWidget::fillCommandList()
{
    if (!m_device)
        return;
    cmbCmdContext->clear();
    for (int command = 0; command <= LastListedCommand; ++command) {
        const QString name = m_device->readCommandName(command);
        if (!name.isEmpty())
            cmbCmdContext->addItem(QStringLiteral("%1. %2 %3").arg(command).arg(tr("reading"), name), command);
    }
    for (int command = 1; command <= LastListedCommand; ++command) {
        const QString name = m_device->writeCommandName(command);
        if (name.isEmpty())
            continue;
        const QString entry = name.contains(tr("get"))
                                  ? QStringLiteral("%1. %2").arg(command).arg(name)
                                  : QStringLiteral("%1. %2 %3").arg(command).arg(tr("writing"), name);
        cmbCmdContext->addItem(entry, command);
    }
    cmbCmdContext->addItem(QStringLiteral("xxx. %1... ").arg(tr("custom")), CustomEntry);
}

void CommandWidget::on_cmbCmdContext_currentIndexChanged(int index)
{
    const QVariant data = cmbCmdContext->itemData(index);
    if (!data.isValid())
        return;
    m_custom = data.toInt() == CustomEntry;
    if (!m_custom)
        spnCommandNumber->setValue(data.toInt());
}

void CommandWidget::on_btnSendCustomCmd_clicked()
{
    if (!m_device)
        return;
    m_answer.clear();
    txtAnswer->clear();
    txtStatus->clear();
    const int command = spnCommandNumber->value();
    const QString readName = m_device->readCommandName(command);
    const QString writeName = m_device->writeCommandName(command);
    DEBUGQT_LOG(4) << "command" << command << "custom" << m_custom;

    if (!readName.isEmpty() && !m_custom)
        m_device->read(readName, command, m_answer);
    else if (!writeName.isEmpty() && !m_custom)
        m_device->write(writeName, command, m_buffer, m_answer);
    else if (!m_buffer.isEmpty())
        m_device->write(CustomCommandName, command, m_buffer, m_answer);
    else
        m_device->read(CustomCommandName, command, m_answer);

    // The device's own status bytes: a polling thread on the same line may already have
    // replaced the line's.
    txtAnswer->setText(Utils::bufferToHex(m_answer));
    txtStatus->setText(Utils::bufferToHex(m_device->lastStatusBytes()));
}

void CommandWidget::showBuffer()
{
    txtCmd->setText(Utils::bufferToHex(m_buffer).toUpper());
    lbLen->setText(QString::number(m_buffer.size()));
    m_liveSelection = Selection();
    m_editSelection = Selection();
}

CommandWidget::Selection CommandWidget::selectionOf(const QLineEdit *edit)
{
    const QString selected = edit->selectedText();
    int start = edit->selectionStart();
    if (selected.startsWith(QLatin1Char(' ')))
        ++start;
    QString digits = selected;
    digits.remove(QLatin1Char(' '));
    Selection selection;
    selection.offset = start < 0 ? 0 : start / HexCharsPerByte;
    selection.length = int(digits.size()) / 2;
    return selection;
}

void CommandWidget::on_txtCmd_selectionChanged()
{
    // Leaving the field clears its selection; what was selected then is what the next editing
    // button works on.
    if (txtCmd->selectedText().isEmpty())
        m_editSelection = m_liveSelection;
    m_liveSelection = selectionOf(txtCmd);
    lbCmdOffset->setText(QString::number(m_liveSelection.offset));
    lbCmdBytes->setText(QString::number(m_liveSelection.length));
}

void CommandWidget::on_txtAnswer_selectionChanged()
{
    const Selection selection = selectionOf(txtAnswer);
    lbRespOffset->setText(QString::number(selection.offset));
    lbRespBytes->setText(QString::number(selection.length));
}

void CommandWidget::placeBytes(const QByteArray &bytes)
{
    if (m_editSelection.isEmpty()) {
        m_buffer.append(bytes);
        return;
    }
    const int offset = qMin(m_editSelection.offset, int(m_buffer.size()));
    m_buffer.remove(offset, m_editSelection.length);
    m_buffer.insert(offset, bytes);
}

void CommandWidget::on_btnPlus_clicked()
{
    if (m_buffer.size() < MaxGrowSize) {
        if (m_editSelection.isEmpty())
            m_buffer.append('\0');
        else
            m_buffer.insert(qMin(m_editSelection.offset, int(m_buffer.size())), '\0');
    }
    showBuffer();
}

void CommandWidget::on_btnMinus_clicked()
{
    if (!m_buffer.isEmpty()) {
        if (m_editSelection.isEmpty())
            m_buffer.chop(1);
        else
            m_buffer.remove(m_editSelection.offset, m_editSelection.length);
    }
    showBuffer();
}

void CommandWidget::on_btnAddByte_clicked()
{
    if (m_buffer.size() < MaxBufferSize)
        placeBytes(QByteArray(1, char(txtByte->unsignedValue() & 0xFF)));
    showBuffer();
}

void CommandWidget::on_btnAddFloat_clicked()
{
    if (m_buffer.size() <= MaxBufferSize - FloatSize)
        placeBytes(Port::getBufferFromFloat(float(dspnFloat->value())));
    showBuffer();
}

void CommandWidget::on_btnAddInt_clicked()
{
    if (m_buffer.size() <= MaxBufferSize - FloatSize) {
        if (txtInt->text().contains(QLocale().decimalPoint())) {
            Prompt::warning(this, tr("Int value"), tr("You must enter an integer value!"), QMessageBox::Cancel);
            return;
        }
        placeBytes(Port::getBufferFromInt(int(txtInt->unsignedValue()), spnIntSize->value()));
    }
    showBuffer();
}

void CommandWidget::on_btnAddText_clicked()
{
    // Packing needs the line's HART master; without a device there is none to ask.
    Port *line = port();
    if (line) {
        QString text = txtAscii->text();
        const int padded = int((text.size() + PackedGroup - 1) / PackedGroup) * PackedGroup;
        text = text.leftJustified(padded, QLatin1Char(' '));
        const QByteArray packed = line->packAscii(text);
        if (m_buffer.size() + packed.size() < MaxBufferSize)
            placeBytes(packed);
    }
    showBuffer();
}

void CommandWidget::on_btnAddLatin1Text_clicked()
{
    const QString text = txtAscii->text();
    if (m_buffer.size() + text.size() < MaxBufferSize)
        placeBytes(text.toLatin1());
    showBuffer();
}

void CommandWidget::on_btnClearBuffer_clicked()
{
    m_buffer.clear();
    showBuffer();
}

void CommandWidget::on_btnGetFloat_clicked()
{
    // Bytes past the end of the answer read as 0; none is read from beyond it.
    const float value = Port::getFloatFromBufferByOffset(m_answer, spnOffsetFloat->value());
    Readout::show(dspnValue, value);
    txtFloatE->setText(Readout::numberText(value, 'E', 6));
}

void CommandWidget::on_dspnValue_valueChanged(double value)
{
    txtFloatE->setText(QStringLiteral("%1").arg(value, 0, 'E', 6));
}

void CommandWidget::on_btnGetInt_clicked()
{
    txtIntValue->setValue(Port::getIntFromBufferByOffset(m_answer, spnOffsetInt->value(), spnSize->value()));
}

void CommandWidget::on_btnGetText_clicked()
{
    Port *line = port();
    // mid() keeps only the bytes the answer has.
    const QByteArray bytes = m_answer.mid(spnOffsetText->value(), spnLen->value());
    txtUnpack->setText(line ? line->unpackAscii(bytes) : QString());
}

void CommandWidget::setMaskFieldColor(bool error)
{
    QPalette palette = txtMask->palette();
    palette.setBrush(QPalette::All, QPalette::Text, QBrush(error ? Qt::red : Qt::black));
    txtMask->setPalette(palette);
}

void CommandWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        fillCommandList();
    }
    QWidget::changeEvent(event);
}
