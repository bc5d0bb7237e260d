#include "mainwindow/finddevicedialog.h"

#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "model/port.h"
#include "core/prompt.h"
#include "core/utils.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidgetItem>

namespace {

enum Column { PortColumn, AddressColumn, LongAddressColumn, TemplateColumn, TagColumn, DescriptionColumn,
              DateColumn, ColumnCount };

constexpr int DefaultResponseTimeout = 370;
constexpr int DefaultByteTimeout = 50;
constexpr int DefaultAddressTo = 15;
constexpr quint8 ReadTagCommand = 13;
constexpr int RecognisedManufacturer = 0xE0;

// Event processing between exchanges, so that Cancel is noticed and the window repaints.
constexpr int EventsBeforeRequestMs = 100;
constexpr int EventsAfterRowMs = 50;

// Layout of the command-13 reply data.
constexpr int TagOffset = 0;
constexpr int TagLength = 6;
constexpr int DescriptorOffset = 6;
constexpr int DescriptorLength = 12;
constexpr int DayOffset = 18;
constexpr int MonthOffset = 19;
constexpr int YearOffset = 20;

const QString DateFormat = QStringLiteral("dd.MM.yyyy");

// The template of an instrument of the program's maker, or the empty text for any other device.
QString recognisedTemplate(int manufacturerCode, int deviceTypeCode)
{
    if (manufacturerCode != RecognisedManufacturer)
        return QString();
    switch (deviceTypeCode) {
    case 0x91:
        return QStringLiteral("Zorvan-M");
    case 0x92:
        return QStringLiteral("Belkor-M");
    case 0x93:
        return QStringLiteral("Drumel-M");
    case 0x94:
        return QStringLiteral("Acivel-M");
    default:
        return QString();
    }
}

const QStringList &templateNames()
{
    static const QStringList names = {QStringLiteral("Zorvan-M"), QStringLiteral("Belkor-M"),
                                      QStringLiteral("Drumel-M"), QStringLiteral("Acivel-M"),
                                      QStringLiteral("General")};
    return names;
}

// A field of a reply that may be shorter than its layout: missing bytes read as 0.
QByteArray fieldAt(const QByteArray &data, int offset, int length)
{
    QByteArray field = data.mid(offset, length);
    field.append(QByteArray(length - field.size(), '\0'));
    return field;
}

QTableWidgetItem *readOnlyItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

QPointer<FindDeviceDialog> FindDeviceDialog::s_instance;

FindDeviceDialog *FindDeviceDialog::instance(QWidget *parent)
{
    if (!s_instance)
        s_instance = new FindDeviceDialog(parent);
    s_instance->setupPorts();
    return s_instance;
}

FindDeviceDialog::FindDeviceDialog(QWidget *parent)
    : QDialog(parent)
{
    setupUi(this);

    tableWidget->setColumnCount(ColumnCount);
    tableWidget->setHorizontalHeaderLabels({tr("Port"), tr("Address"), tr("Long Address"), tr("Template"),
                                            tr("Tag"), tr("Description"), tr("Date")});
    tableWidget->resizeColumnsToContents();
    tableWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget->setAlternatingRowColors(true);

    buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    btnStart->setEnabled(false);

    connect(lstPorts, &QListWidget::itemSelectionChanged, this, &FindDeviceDialog::updateStartButton);
    connect(tableWidget, &QTableWidget::itemChanged, this, &FindDeviceDialog::updateOkButton);
    // A dialog that ends while a scan runs stops the scan before the next address.
    connect(this, &QDialog::finished, this, [this] {
        if (m_scanning)
            m_scanAborted = true;
    });

    spnAddrTo->setValue(DefaultAddressTo);
    spnResponseTimeout->setValue(m_hartPort.property("response_timeout").toInt());
}

FindDeviceDialog::~FindDeviceDialog()
{
    DEBUGQT_LOG(4);
    // Destroyed from events that a running scan let through: the progress dialog may be the one
    // processing them, so it must outlive this call. The link's destructor closes the line.
    if (m_progress) {
        m_progress->hide();
        m_progress->setParent(nullptr);
        m_progress->deleteLater();
    }
}

void FindDeviceDialog::updateStartButton()
{
    DEBUGQT_LOG(4);
    btnStart->setEnabled(!lstPorts->selectedItems().isEmpty());
}

bool FindDeviceDialog::isRowTicked(int row) const
{
    const QTableWidgetItem *portItem = tableWidget->item(row, PortColumn);
    return portItem && portItem->checkState() == Qt::Checked;
}

void FindDeviceDialog::updateOkButton()
{
    DEBUGQT_LOG(4);
    bool ticked = false;
    for (int row = 0; row < tableWidget->rowCount() && !ticked; ++row)
        ticked = isRowTicked(row);
    buttonBox->button(QDialogButtonBox::Ok)->setEnabled(ticked);
}

void FindDeviceDialog::setupPorts()
{
    DEBUGQT_LOG(4);
    lstPorts->clear();
    lstPorts->addItems(Port::availablePortNames());
}

void FindDeviceDialog::on_btnRefreshPortList_clicked()
{
    setupPorts();
}

void FindDeviceDialog::on_spnResponseTimeout_valueChanged(int value)
{
    m_hartPort.setProperty("response_timeout", value > 0 ? value : DefaultResponseTimeout);
    m_hartPort.setProperty("byte_timeout", value / 2 > 0 ? value / 2 : DefaultByteTimeout);
}

void FindDeviceDialog::on_btnStart_clicked()
{
    DEBUGQT_LOG(4);
    if (m_scanning)
        return;
    buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    buttonBox->button(QDialogButtonBox::Cancel)->setEnabled(false);
    tableWidget->setRowCount(0);
    findDevices();
}

void FindDeviceDialog::stopFind()
{
    DEBUGQT_LOG(4);
    updateOkButton();
    buttonBox->button(QDialogButtonBox::Cancel)->setEnabled(true);
    m_hartPort.close();
    tableWidget->resizeColumnsToContents();
}

void FindDeviceDialog::findDevices()
{
    DEBUGQT_LOG(4);
    // Events run during the scan may delete this dialog; after each such point the guard tells.
    const QPointer<FindDeviceDialog> alive(this);

    // The port names, not the list items: the list may be rebuilt while the scan runs.
    QStringList portNames;
    const QList<QListWidgetItem *> selected = lstPorts->selectedItems();
    for (const QListWidgetItem *item : selected)
        portNames.append(item->text());

    m_scanning = true;
    m_scanAborted = false;

    const auto scanEnd = [this] { return qMin(spnAddrTo->value(), MaxPollingAddress + 1); };
    m_progress = new QProgressDialog(this);
    const QPointer<QProgressDialog> progress = m_progress;
    progress->setFont(font());
    progress->setWindowTitle(tr("Scanning ..."));
    progress->setCancelButtonText(tr("Cancel"));
    progress->setMinimum(0);
    const int addressesPerPort = scanEnd() - spnAddrFrom->value();
    progress->setMaximum(addressesPerPort * int(portNames.size()));
    progress->setWindowModality(Qt::WindowModal);
    progress->show();

    for (int k = 0; k < portNames.size() && !m_scanAborted; ++k) {
        const QString &portName = portNames.at(k);
        m_hartPort.setPortName(portName);
        if (!m_hartPort.isOpen() && !m_hartPort.open()) {
            Prompt::critical(this, tr("Open port..."), m_hartPort.errorText);
            if (!alive)
                return;
            continue;
        }

        const int from = spnAddrFrom->value();
        for (int address = from; address < scanEnd(); ++address) {
            if (m_scanAborted || !progress || progress->wasCanceled())
                break;
            QByteArray response;
            QVariantMap identity;
            progress->setLabelText(tr("Search by address %1 via %2 ...").arg(address).arg(portName));
            HeldLocks::setProgress(*progress, k * addressesPerPort + (address - from));
            HeldLocks::processEvents("the device search", QEventLoop::AllEvents, EventsBeforeRequestMs);
            if (!alive)
                return;
            if (m_scanAborted || !progress || progress->wasCanceled())
                break;

            if (m_hartPort.sendZeroCommand(quint8(address), response, true)
                && m_hartPort.parseCommandZeroResponse(response, identity)) {
                appendTabWidget(address, portName, identity);
                HeldLocks::processEvents("the device search", QEventLoop::AllEvents, EventsAfterRowMs);
                if (!alive)
                    return;
            } else {
                DEBUGQT_LOG(4) << m_hartPort.errorText;
            }
        }
        m_hartPort.close();
    }

    tableWidget->resizeColumnsToContents();
    m_scanning = false;
    stopFind();
    delete progress.data();
}

void FindDeviceDialog::appendTabWidget(int address, const QString &portName, QVariantMap &identity)
{
    const int row = tableWidget->rowCount();
    tableWidget->insertRow(row);

    auto *portItem = readOnlyItem(portName);
    portItem->setFlags(portItem->flags() | Qt::ItemIsUserCheckable);
    portItem->setCheckState(Qt::Unchecked);
    tableWidget->setItem(row, PortColumn, portItem);

    auto *addressItem = readOnlyItem(QString::number(address));
    addressItem->setTextAlignment(Qt::AlignCenter);
    tableWidget->setItem(row, AddressColumn, addressItem);

    const QByteArray longAddress = identity.value(QStringLiteral("address")).toByteArray();
    auto *longAddressItem = readOnlyItem(Utils::bufferToHex(longAddress).toUpper());
    longAddressItem->setData(Qt::UserRole, longAddress);
    tableWidget->setItem(row, LongAddressColumn, longAddressItem);

    const QString templateName = recognisedTemplate(identity.value(QStringLiteral("manufacturer_code")).toInt(),
                                                    identity.value(QStringLiteral("device_type_code")).toInt());
    if (!templateName.isEmpty()) {
        tableWidget->setItem(row, TemplateColumn, readOnlyItem(templateName));
    } else {
        auto *chooser = new QComboBox(tableWidget);
        chooser->addItems(templateNames());
        tableWidget->setCellWidget(row, TemplateColumn, chooser);
    }

    QByteArray response;
    if (!m_hartPort.sendLongFrameCommand(longAddress, ReadTagCommand, QByteArray(), response, true))
        return;

    // A reply shorter than the layout reads as if padded with zero bytes, which packed ASCII
    // ignores at the end of a field.
    const QString tag = m_hartPort.unpackAscii(fieldAt(response, TagOffset, TagLength));
    const QString descriptor = m_hartPort.unpackAscii(fieldAt(response, DescriptorOffset, DescriptorLength));
    const int day = Utils::byteAt(response, DayOffset);
    const int month = Utils::byteAt(response, MonthOffset);
    const int year = Utils::byteAt(response, YearOffset) + 1900;
    DEBUGQT_LOG(4) << "### TAG: " << tag;
    DEBUGQT_LOG(4) << "### DESC: " << descriptor;
    DEBUGQT_LOG(4) << "### day: " << day << "month: " << month << "year: " << year;

    const QDate date(year, month, day);
    tableWidget->setItem(row, TagColumn, readOnlyItem(tag));
    tableWidget->setItem(row, DescriptionColumn, readOnlyItem(descriptor));
    auto *dateItem = readOnlyItem(date.toString(DateFormat));
    dateItem->setData(Qt::UserRole, date);
    tableWidget->setItem(row, DateColumn, dateItem);
}

QList<QVariantMap> FindDeviceDialog::userSelection() const
{
    QList<QVariantMap> records;
    for (int row = 0; row < tableWidget->rowCount(); ++row) {
        if (!isRowTicked(row))
            continue;
        const auto cellText = [this, row](int column) {
            const QTableWidgetItem *item = tableWidget->item(row, column);
            return item ? item->text() : QString();
        };
        const auto cellData = [this, row](int column) {
            const QTableWidgetItem *item = tableWidget->item(row, column);
            return item ? item->data(Qt::UserRole) : QVariant();
        };

        QString templateName;
        if (tableWidget->item(row, TemplateColumn)) {
            templateName = cellText(TemplateColumn);
        } else if (const auto *chooser = qobject_cast<QComboBox *>(tableWidget->cellWidget(row, TemplateColumn))) {
            templateName = chooser->currentText();
            DEBUGQT_LOG(4) << templateName;
        }

        QVariantMap record;
        record.insert(QStringLiteral("port"), cellText(PortColumn));
        record.insert(QStringLiteral("polling_address"), cellText(AddressColumn).toInt());
        record.insert(QStringLiteral("address"), cellData(LongAddressColumn).toByteArray());
        record.insert(QStringLiteral("template"), templateName);
        // A device that did not answer command 13 has no tag, descriptor or date cells.
        record.insert(QStringLiteral("tag"), cellText(TagColumn));
        record.insert(QStringLiteral("descriptor"), cellText(DescriptionColumn));
        record.insert(QStringLiteral("date"), cellData(DateColumn).toDate());
        records.append(record);
    }
    return records;
}

void FindDeviceDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi(this);
    QDialog::changeEvent(event);
}
