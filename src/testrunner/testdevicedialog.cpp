#include "testrunner/testdevicedialog.h"

#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "core/prompt.h"
#include "core/utils.h"
#include "model/device.h"
#include "widgets/logwidget.h"

#include <QEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTableWidgetItem>

namespace {

constexpr int LogLinesLimit = 10000;
constexpr int EventPassMs = 100;
// Room for the window frame, known only once the window is shown: QDialog places a dialog with
// up to 40 pixels of title bar and 10 of border in mind.
const QMargins FrameAllowance(10, 40, 10, 10);

} // namespace

TestDeviceDialog::TestDeviceDialog(QWidget *parent, Device *device)
    : QDialog(parent)
{
    setupUi(this);

    tableWidget->setColumnCount(ColumnCount);
    setHeaderLabels();
    tableWidget->resizeColumnsToContents();
    tableWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget->setAlternatingRowColors(true);

    m_logWidget = new LogWidget(this);
    stackedWidgetLog->addWidget(m_logWidget);
    stackedWidgetLog->setCurrentWidget(m_logWidget);
    m_logWidget->setLinesLimit(LogLinesLimit);

    btnContinue->hide();
    connectDevice(device);

    // The form is laid out for a large screen; on a smaller one the dialog takes the free area
    // of the screen it opens on, so that its Close button stays on the screen.
    const QScreen *shownOn = parent ? parent->window()->screen() : screen();
    resize(size().boundedTo(shownOn->availableGeometry().size().shrunkBy(FrameAllowance)));

    // Connected after the first filling, so that only the user's edits reach these slots.
    connect(tableWidget, &QTableWidget::itemChanged, this, &TestDeviceDialog::onItemChanged);
    connect(tableWidget, &QTableWidget::itemDoubleClicked, this, &TestDeviceDialog::onItemDoubleClicked);
}

TestDeviceDialog::~TestDeviceDialog()
{
    if (m_device) {
        disconnect(m_device, &Device::modbusMessage, this, &TestDeviceDialog::onShowLogMessage);
        disconnect(m_device, &Device::deviceError, this, &TestDeviceDialog::onAppendDeviceError);
    }
}

void TestDeviceDialog::setHeaderLabels()
{
    tableWidget->setHorizontalHeaderLabels({tr("Cmd"), tr("Context"), tr("Values"), tr("Cycles"), tr("Error count"),
                                            tr("Error text")});
}

void TestDeviceDialog::connectDevice(Device *device)
{
    if (!device)
        return;
    if (m_device) {
        disconnect(m_device, &Device::modbusMessage, this, &TestDeviceDialog::onShowLogMessage);
        disconnect(m_device, &Device::deviceError, this, &TestDeviceDialog::onAppendDeviceError);
    }
    m_device = device;
    connect(device, &Device::modbusMessage, this, &TestDeviceDialog::onShowLogMessage);
    connect(device, &Device::deviceError, this, &TestDeviceDialog::onAppendDeviceError);

    spnPollingAddress->setValue(device->address());
    const QString hex = Utils::bufferToHex(device->parameterByteArray(QStringLiteral("address")));
    txtFullAddress->setText(QStringLiteral("0x") + hex.toUpper().remove(QLatin1Char(' ')));
    txtName->setText(device->name());
    loadTestTemlates(QString());
}

void TestDeviceDialog::clearErrorCells()
{
    const int last = tableWidget->rowCount() - 1;
    for (int row = 0; row < last; ++row) {
        tableWidget->item(row, ErrorTextColumn)->setData(Qt::DisplayRole, QString());
        tableWidget->item(row, ErrorCountColumn)->setData(Qt::DisplayRole, QString());
    }
    if (last >= 0) {
        if (QTableWidgetItem *total = tableWidget->item(last, ErrorCountColumn))
            total->setData(Qt::DisplayRole, 0);
    }
}

bool TestDeviceDialog::isStepChecked(int row) const
{
    const QTableWidgetItem *cmd = tableWidget->item(row, CmdColumn);
    return cmd && cmd->data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

void TestDeviceDialog::onShowLogMessage(int addr, const QString &msg)
{
    Q_UNUSED(addr)
    if (!msg.contains(QLatin1String(" TX ")) && !msg.contains(QLatin1String(" RX ")))
        // Log lines carry device names and tags, where "<" and "&" are allowed.
        lbError->setText(QStringLiteral("<p style=\"color: black;\">%1</p>").arg(msg.toHtmlEscaped()));
    m_logWidget->appendLogMessage(0, msg);
    HeldLocks::processEvents("the test dialog's log", QEventLoop::AllEvents, EventPassMs);
}

void TestDeviceDialog::onItemChanged(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget() || item->column() != CmdColumn)
        return;
    DEBUGQT_LOG(4) << "onItemChanged";
    // Ticking or unticking a step after a cancelled round withdraws the offer to continue it.
    if (m_canceled)
        btnContinue->hide();
    if (item->data(Qt::CheckStateRole).toInt() == Qt::Unchecked && m_uncheckedHidden)
        tableWidget->hideRow(item->row());
    updateStartButton();
}

void TestDeviceDialog::updateStartButton()
{
    DEBUGQT_LOG(4) << "updateStartButton";
    bool anyChecked = false;
    for (int row = 0; row < tableWidget->rowCount() - 1 && !anyChecked; ++row)
        anyChecked = isStepChecked(row);
    btnStart->setEnabled(anyChecked);
}

void TestDeviceDialog::on_btnCheckAll_clicked()
{
    if (m_uncheckedHidden)
        on_btnHiddenUnchecked_clicked();
    for (int row = 0; row < tableWidget->rowCount() - 1; ++row) {
        tableWidget->item(row, CmdColumn)->setCheckState(Qt::Checked);
        tableWidget->showRow(row);
    }
}

void TestDeviceDialog::on_btnUncheckAll_clicked()
{
    for (int row = 0; row < tableWidget->rowCount() - 1; ++row)
        tableWidget->item(row, CmdColumn)->setCheckState(Qt::Unchecked);
}

void TestDeviceDialog::on_btnHiddenUnchecked_clicked()
{
    DEBUGQT_LOG(4) << "on_btnHiddenUnchecked_clicked" << (m_uncheckedHidden ? "true" : "false");
    for (int row = 0; row < tableWidget->rowCount() - 1; ++row) {
        if (tableWidget->item(row, CmdColumn)->data(Qt::CheckStateRole).toInt() == Qt::Unchecked)
            tableWidget->setRowHidden(row, !m_uncheckedHidden);
    }
    m_uncheckedHidden = !m_uncheckedHidden;
    btnHiddenUnchecked->setChecked(m_uncheckedHidden);
    btnHiddenUnchecked->setText(m_uncheckedHidden ? tr("Show unchecked rows") : tr("Hidden unchecked rows"));
}

void TestDeviceDialog::on_spnCycles_valueChanged(int value)
{
    Q_UNUSED(value)
}

void TestDeviceDialog::onItemDoubleClicked(QTableWidgetItem *item)
{
    if (!item || !item->tableWidget() || item->column() != ValuesColumn)
        return;
    const QTableWidgetItem *cmd = tableWidget->item(item->row(), CmdColumn);
    const QVariantMap step = cmd ? mapValue(cmd->data(Qt::UserRole)) : QVariantMap();
    const QVariantMap parameters = mapValue(step.value(QStringLiteral("parameters")));
    if (parameters.isEmpty())
        return;

    QStringList lines;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        QStringList values;
        const QVariantList list = listValue(it.value());
        for (const QVariant &value : list)
            values.append(Utils::variantToText(value));
        lines.append(it.key() + QStringLiteral(": ") + values.join(QStringLiteral(", ")));
    }
    const QTableWidgetItem *context = tableWidget->item(item->row(), ContextColumn);
    const QString message = (context ? context->text() : QString()) + QStringLiteral(":\n\n")
                            + lines.join(QLatin1Char('\n'));
    Prompt::information(this, tr("Values"), message, QMessageBox::Cancel, QMessageBox::NoButton);
}

void TestDeviceDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi(this);
        setHeaderLabels();
        tableWidget->resizeColumnsToContents();
    }
    QDialog::changeEvent(event);
}

void TestDeviceDialog::abandon()
{
    if (auto *progress = findChild<QProgressDialog *>())
        progress->cancel();
}

void TestDeviceDialog::reject()
{
    // While rounds run, the progress dialog's Cancel is the way out, not the dialog's close.
    if (m_running)
        return;
    const QMessageBox::StandardButton answer =
        Prompt::warning(this, tr("Device testing"), tr("Do you want to exit from test?"),
                        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::NoButton);
    if (answer == QMessageBox::Yes)
        QDialog::reject();
}

QVariantList TestDeviceDialog::listValue(const QVariant &value)
{
    const int type = value.typeId();
    return type == QMetaType::QVariantList || type == QMetaType::QStringList ? value.toList() : QVariantList();
}

QVariantMap TestDeviceDialog::mapValue(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantMap ? value.toMap() : QVariantMap();
}
