#include "mainwindow/rtuporteditor.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/waitcursor.h"
#include "model/port.h"
#include "ui_rtuporteditor.h"

#include <QEvent>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr int DefaultRequestTimeout = 200;
constexpr int DefaultResponseTimeout = 370;
constexpr int DefaultByteTimeout = 50;
constexpr int DefaultInitialPreambles = 10;

// The port's error text holds the device name and the system's message, with line breaks;
// neither may be taken for markup.
QString richText(const QString &plain)
{
    return plain.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

} // namespace

RTUPortEditor::RTUPortEditor(QWidget *parent)
    : StackPage(parent)
    , ui(new Ui_RTUPortEditor)
    , m_portNames(&Port::availablePortNames)
{
    ui->setupUi(this);
    // The line always runs at these settings; each box offers just the one.
    ui->baudrateComboBox->addItem(QString::number(Port::LineBaudrate), Port::LineBaudrate);
    ui->databitsComboBox->addItem(QString::number(Port::LineDatabits), Port::LineDatabits);
    ui->parityComboBox->addItem(QStringLiteral("odd"), QChar(QLatin1Char(Port::LineParity)));
    ui->stopbitsComboBox->addItem(QString::number(Port::LineStopbits), Port::LineStopbits);
    ui->resultLabel->hide();
}

RTUPortEditor::~RTUPortEditor()
{
    delete ui;
}

Port *RTUPortEditor::port() const
{
    return m_port;
}

void RTUPortEditor::setPortNamesSource(PortNamesSource source)
{
    m_portNames = std::move(source);
}

void RTUPortEditor::setItem(ServerItem *item)
{
    DEBUGQT_LOG(4) << "setItem";
    if (!item || item->type() != ServerItem::PortKind)
        return;
    update_serials();
    m_port = qobject_cast<Port *>(item);
    if (!m_port)
        return;

    selectSerialOfPort();
    DEBUGQT_LOG(4) << "port search: " << m_port->property("serial_name").toString()
                   << (ui->portChoiceComboBox->currentIndex() >= 0);
    showLineSettings();
    updateButtons();
    showLinkSettings();
    ui->resultLabel->hide();
}

void RTUPortEditor::selectSerialOfPort()
{
    const QSignalBlocker blocker(ui->portChoiceComboBox);
    ui->portChoiceComboBox->setCurrentIndex(
        ui->portChoiceComboBox->findText(m_port->property("serial_name").toString()));
}

void RTUPortEditor::showLineSettings()
{
    const auto select = [](QComboBox *box, const QVariant &value) {
        const QSignalBlocker blocker(box);
        box->setCurrentIndex(box->findData(value));
    };
    select(ui->baudrateComboBox, m_port->property("baudrate").toInt());
    select(ui->databitsComboBox, m_port->property("databits").toInt());
    select(ui->parityComboBox, m_port->property("parity").toChar());
    select(ui->stopbitsComboBox, m_port->property("stopbits").toInt());
}

void RTUPortEditor::showLinkSettings()
{
    // Filled with the signals blocked: a stored value above a box's maximum stays stored until
    // the user edits that box.
    const auto show = [](QSpinBox *box, int value) {
        const QSignalBlocker blocker(box);
        box->setValue(value);
    };
    const HartPort &link = m_port->hartPort;
    show(ui->spnRequestTimeout, link.property("request_timeout").toInt());
    show(ui->spnResponseTimeout, link.property("response_timeout").toInt());
    show(ui->spnByteTimeout, link.property("byte_timeout").toInt());
    show(ui->spnStartPreamblesCount, link.initialPreamblesCount);
    const QSignalBlocker blocker(ui->chkTransactionClosePort);
    ui->chkTransactionClosePort->setChecked(m_port->property("close_port_after_transaction").toBool());
}

void RTUPortEditor::updateButtons()
{
    DEBUGQT_LOG(4) << "updateButtons";
    if (!m_port)
        return;
    const bool polled = m_port->hasPeriodicallyRequestedDevices();
    ui->b_check->setEnabled(!polled && ui->portChoiceComboBox->currentIndex() >= 0);
    ui->btnRefresh->setEnabled(!polled);
    // The polling thread uses the link settings and the line for every read; they change only
    // while it rests.
    for (QWidget *control : std::initializer_list<QWidget *>{ui->spnRequestTimeout, ui->spnResponseTimeout,
                                                             ui->spnByteTimeout, ui->spnStartPreamblesCount,
                                                             ui->portChoiceComboBox})
        control->setEnabled(!polled);
}

void RTUPortEditor::update_serials()
{
    DEBUGQT_LOG(4) << "update_serials";
    QStringList names = m_portNames ? m_portNames() : QStringList();
    DEBUGQT_LOG(4) << "list1 =" << names;
    const QString remembered = ui->portChoiceComboBox->currentText();
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    DEBUGQT_LOG(4) << "list =" << names;

    const QSignalBlocker blocker(ui->portChoiceComboBox);
    ui->portChoiceComboBox->clear();
    ui->portChoiceComboBox->addItems(names);
    ui->resultLabel->clear();
    if (remembered.isEmpty()) {
        ui->portChoiceComboBox->setCurrentIndex(-1);
        ui->b_check->setEnabled(false);
        return;
    }
    const int index = ui->portChoiceComboBox->findText(remembered);
    ui->portChoiceComboBox->setCurrentIndex(index);
    chooseSerial(remembered);
    ui->b_check->setEnabled(index >= 0);
}

void RTUPortEditor::on_portChoiceComboBox_currentIndexChanged(int index)
{
    chooseSerial(ui->portChoiceComboBox->itemText(index));
}

void RTUPortEditor::chooseSerial(const QString &name)
{
    DEBUGQT_LOG(4) << "on_portChoiceComboBox_currentIndexChanged" << name;
    if (!m_port || name == m_port->property("serial_name").toString()) {
        ui->b_check->setEnabled(false);
        return;
    }
    if (m_port->setSerialName(name)) {
        if (!name.isEmpty())
            m_port->setName(name);
        emit changed();
        ui->resultLabel->clear();
        ui->b_check->setEnabled(!name.isEmpty());
        return;
    }
    if (!name.isEmpty())
        Prompt::warning(this, tr("Port configuration"), tr("Port %1 already exists!").arg(name), QMessageBox::Cancel);
    selectSerialOfPort();
    ui->b_check->setEnabled(ui->portChoiceComboBox->currentIndex() >= 0);
}

void RTUPortEditor::storeLineSetting(const char *property, const QVariant &value)
{
    if (!m_port)
        return;
    m_port->setProperty(property, value);
    emit changed();
}

void RTUPortEditor::on_baudrateComboBox_currentIndexChanged(int index)
{
    storeLineSetting("baudrate", ui->baudrateComboBox->itemData(index).toInt());
}

void RTUPortEditor::on_databitsComboBox_currentIndexChanged(int index)
{
    storeLineSetting("databits", ui->databitsComboBox->itemData(index).toInt());
}

void RTUPortEditor::on_parityComboBox_currentIndexChanged(int index)
{
    storeLineSetting("parity", ui->parityComboBox->itemData(index).toChar());
}

void RTUPortEditor::on_stopbitsComboBox_currentIndexChanged(int index)
{
    storeLineSetting("stopbits", ui->stopbitsComboBox->itemData(index).toInt());
}

void RTUPortEditor::storeTimeout(const char *property, int value, int defaultValue)
{
    if (!m_port)
        return;
    m_port->hartPort.setProperty(property, value > 0 ? value : defaultValue);
    emit changed();
}

void RTUPortEditor::on_spnRequestTimeout_valueChanged(int value)
{
    storeTimeout("request_timeout", value, DefaultRequestTimeout);
}

void RTUPortEditor::on_spnResponseTimeout_valueChanged(int value)
{
    storeTimeout("response_timeout", value, DefaultResponseTimeout);
}

void RTUPortEditor::on_spnByteTimeout_valueChanged(int value)
{
    storeTimeout("byte_timeout", value, DefaultByteTimeout);
}

void RTUPortEditor::on_spnStartPreamblesCount_valueChanged(int value)
{
    if (!m_port)
        return;
    m_port->hartPort.initialPreamblesCount = value > 0 ? value : DefaultInitialPreambles;
    emit changed();
}

void RTUPortEditor::on_chkTransactionClosePort_stateChanged(int state)
{
    if (!m_port)
        return;
    m_port->setProperty("close_port_after_transaction", state == Qt::Checked);
    m_port->closeLine();
    emit changed();
}

void RTUPortEditor::on_b_check_clicked()
{
    if (!m_port)
        return;
    const WaitCursor wait;
    if (m_port->checkLine()) {
        ui->resultLabel->setText(tr("<p style=\"color: green;\">Success.</p>"));
    } else {
        ui->resultLabel->setText(tr("<p style=\"color: red;\">Failure: %1.</p>").arg(richText(m_port->lastErrorText())));
    }
    ui->resultLabel->show();
}

void RTUPortEditor::on_btnRefresh_clicked()
{
    DEBUGQT_LOG(4) << "on_btnRefresh_clicked";
    update_serials();
}

void RTUPortEditor::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}
