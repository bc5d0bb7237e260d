#include "mainwindow/mainwindow.h"

#include "ui_mainwindow.h"

#include "core/appsettings.h"
#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "devices/acivel/acivelwidget.h"
#include "devices/drumel/drumelwidget.h"
#include "devices/zorvan/zorvanwidget.h"
#include "editor/defaultdevicewidget.h"
#include "editor/maindevicewidget.h"
#include "mainwindow/deviceadddialog.h"
#include "mainwindow/finddevicedialog.h"
#include "mainwindow/helpviewer.h"
#include "mainwindow/rtuporteditor.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"


Q_DECLARE_METATYPE(ServerItem *)

namespace {

ServerItem *itemObject(const QTreeWidgetItem *item)
{
    return item ? item->data(0, Qt::UserRole).value<ServerItem *>() : nullptr;
}

} // namespace

QTreeWidgetItem *MainWindow::rootItem() const
{
    return m_items.value(m_server);
}

ServerItem *MainWindow::currentServerItem() const
{
    return itemObject(ui->treeWidget->currentItem());
}

Device *MainWindow::currentDevice() const
{
    return qobject_cast<Device *>(currentServerItem());
}

void MainWindow::createServer()
{
    auto *top = new QTreeWidgetItem(ui->treeWidget->invisibleRootItem());
    m_rootHolder = new Server;
    m_rootHolder->setName(QStringLiteral("serverRoot"));
    m_server = new Server(m_rootHolder);
    m_rootHolder->insertChild(0, m_server);
    m_server->setName(tr("Ports & Devices"));

    top->setText(0, m_server->name());
    top->setData(0, Qt::UserRole, QVariant::fromValue<ServerItem *>(m_server));
    m_items.insert(m_server, top);

    auto *help = new HelpViewer(this, false);
    help->loadFile(QStringLiteral(":/doc/tenvara.txt"));
    m_pages.insert(m_server, help);
    ui->stackedWidget->addWidget(help);
    ui->stackedWidget->setCurrentWidget(help);
}

void MainWindow::onServerLoaded()
{
    m_buildingTree = true;
    // The tree is drawn once, when it is complete: handling the events each page leaves behind
    // would otherwise repaint it for every item added, which no one can act on before the load
    // ends.
    const bool repaint = ui->treeWidget->updatesEnabled();
    ui->treeWidget->setUpdatesEnabled(false);
    const QList<Port *> all = ports();
    for (Port *port : all) {
        createTreeItem(port, false);
        const QList<Device *> devices = port->devices();
        for (Device *device : devices) {
            createDeviceWidget(port, device, false);
            handlePageEvents();
        }
    }
    m_buildingTree = false;
    for (QWidget *page : std::as_const(m_builtPages))
        ui->stackedWidget->addWidget(page);
    m_builtPages.clear();
    ui->treeWidget->setUpdatesEnabled(repaint);
    if (QTreeWidgetItem *top = rootItem()) {
        top->setSelected(true);
        ui->treeWidget->setCurrentItem(top);
    }
    // The top item may have been current already, so no change of item shows its page.
    showCurrentItemPage();
    updateActions();
}

// A new page leaves a polish request for each of its widgets, layout requests and the timers of
// its item views behind, and every later request or timer (and every widget that goes) is
// checked against all that are pending. Handled page by page they stay few. The event loop
// would handle them right after the load anyway; no input of the user is handled here, and a
// hidden page's layout is not computed.
void MainWindow::handlePageEvents()
{
    HeldLocks::processEvents("a page's load", QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::addPage(QWidget *page)
{
    if (m_buildingTree) {
        m_builtPages.append(page);
        return;
    }
    ui->stackedWidget->addWidget(page);
    ui->stackedWidget->setCurrentWidget(page);
}

void MainWindow::showCurrentItemPage()
{
    if (QWidget *page = m_pages.value(currentServerItem()))
        ui->stackedWidget->setCurrentWidget(page);
}

void MainWindow::createTreeItem(Port *port, bool select)
{
    QTreeWidgetItem *top = rootItem();
    if (!top || m_items.contains(port))
        return;
    auto *item = new QTreeWidgetItem(top);
    item->setText(0, port->name());
    item->setData(0, Qt::UserRole, QVariant::fromValue<ServerItem *>(port));
    m_items.insert(port, item);
    top->setExpanded(true);
    item->setExpanded(true);

    auto *page = new RTUPortEditor(ui->stackedWidget);
    m_pages.insert(port, page);
    page->setItem(port);
    connect(page, &RTUPortEditor::changed, this, &MainWindow::onChanged);
    addPage(page);
    if (select)
        ui->treeWidget->setCurrentItem(item);
}

QWidget *MainWindow::createDevicePage(const QString &templateName)
{
    // Built inside the stack that shows it, so that its fields take the stack's font and palette
    // as they are made instead of being changed one by one when the page is added.
    QWidget *stack = ui->stackedWidget;
    if (templateName == QLatin1String("Zorvan-M") || templateName == QLatin1String("Belkor-M"))
        return new ZorvanWidget(stack);
    if (templateName == QLatin1String("Drumel-M"))
        return new DrumelWidget(stack);
    if (templateName == QLatin1String("Acivel-M"))
        return new AcivelWidget(stack);
    if (templateName == QLatin1String("General"))
        return new DefaultDeviceWidget(stack);
    return nullptr;
}

void MainWindow::createDeviceWidget(Port *port, Device *device, bool select)
{
    QTreeWidgetItem *portItem = m_items.value(port);
    if (!portItem)
        return;
    auto *item = new QTreeWidgetItem(portItem);
    item->setText(0, device->name());
    item->setData(0, Qt::UserRole, QVariant::fromValue<ServerItem *>(device));
    m_items.insert(device, item);

    auto *page = qobject_cast<MainDeviceWidget *>(createDevicePage(device->templateName()));
    if (page) {
        m_pages.insert(device, page);
        page->setItem(device);
        page->showDeviceInfoInFields();
        connect(page, &MainDeviceWidget::changed, this, &MainWindow::onChanged);
        connect(this, &MainWindow::closeApplication, page, &MainDeviceWidget::closeApplication);
        addPage(page);
    }
    if (select)
        ui->treeWidget->setCurrentItem(item);
}

void MainWindow::currentTreeWidgetItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    ServerItem *object = itemObject(current);
    if (!object)
        return;
    QWidget *page = m_pages.value(object);
    if (auto *device = qobject_cast<Device *>(object)) {
        updateTreeItem(device);
        if (page)
            ui->stackedWidget->setCurrentWidget(page);
    } else if (qobject_cast<Port *>(object)) {
        if (auto *editor = qobject_cast<RTUPortEditor *>(page)) {
            editor->updateButtons();
            ui->stackedWidget->setCurrentWidget(editor);
        }
    } else if (page) {
        ui->stackedWidget->setCurrentWidget(page);
    }
    updateActions();
}

void MainWindow::onChanged()
{
    setWindowModified(true);
    ServerItem *object = currentServerItem();
    if (auto *port = qobject_cast<Port *>(object))
        m_items.value(port)->setText(0, port->name());
    else if (auto *device = qobject_cast<Device *>(object))
        updateTreeItem(device);
    serverModified();
}

void MainWindow::updateTreeItem(Device *device)
{
    QTreeWidgetItem *item = m_items.value(device);
    if (!item)
        return;
    const int flags = device->stateFlags();
    QString text = (flags & Device::StateFlag20) ? QStringLiteral("+") : QString();
    text += device->name() + QLatin1Char(' ') + device->stateMarks() + device->comment();
    item->setText(0, text);

    QFont font = item->font(0);
    font.setWeight(device->deviceId().isEmpty() ? QFont::Normal : QFont::Bold);
    item->setFont(0, font);

    QColor colour = Qt::black;
    if (flags & (Device::StateReadFromDevice | Device::StateSavedInDevice)) {
        if (device->errorCounter() > 0)
            colour = Qt::red;
        else if (device->state() == ServerItem::StateSuccess)
            colour = Qt::darkGreen;
    }
    item->setForeground(0, colour);
}

void MainWindow::updateAllTreeItems()
{
    const QList<Port *> all = ports();
    for (Port *port : all) {
        const QList<Device *> devices = port->devices();
        for (Device *device : devices) {
            device->clearMeasureInfo();
            const int kept = Device::StatePeriodicallyRequested | Device::StateFlag40;
            if (device->stateFlags() & kept) {
                device->clearStateFlags(Device::StateChanged | Device::StateReadFromDevice
                                        | Device::StateSavedInDevice | Device::StateFlag20);
                device->addStateFlags(Device::StateInitial);
            } else {
                device->setStateFlags(Device::StateInitial);
            }
            updateTreeItem(device);
        }
    }
}

void MainWindow::setRootItemFont(bool modified)
{
    QTreeWidgetItem *top = rootItem();
    if (!top)
        return;
    QFont font = top->data(0, Qt::FontRole).value<QFont>();
    font.setWeight(modified ? QFont::Bold : QFont::Normal);
    font.setItalic(modified);
    top->setFont(0, font);
}

void MainWindow::retranslateTree()
{
    if (QTreeWidgetItem *top = rootItem())
        top->setText(0, tr("Ports & Devices"));
    setRootItemFont(isWindowModified());
}

QString MainWindow::nextFreePortName() const
{
    // Named after the port count; after a removal that number may be taken, so count on.
    for (int number = m_server->portCount();; ++number) {
        const QString name = QStringLiteral("Port %1").arg(number);
        if (!m_server->portByName(ServerItem::sanitizeName(name)))
            return name;
    }
}

void MainWindow::addItem()
{
    ServerItem *object = currentServerItem();
    if (qobject_cast<Server *>(object)) {
        if (Port *port = m_server->addPort(nextFreePortName(), -1))
            createTreeItem(port, true);
    } else if (auto *port = qobject_cast<Port *>(object)) {
        DeviceAddDialog dialog(this);
        dialog.setFont(m_settings->font);
        if (dialog.exec() == QDialog::Accepted) {
            const QMap<QString, QString> selection = dialog.userSelection();
            for (auto it = selection.cbegin(); it != selection.cend(); ++it) {
                if (Device *device = port->addDevice(it.key(), it.value(), -1))
                    createDeviceWidget(port, device, true);
            }
        }
    }
    serverModified();
}

void MainWindow::deleteItem()
{
    ServerItem *object = currentServerItem();
    if (auto *port = qobject_cast<Port *>(object))
        removePortItem(port);
    else if (auto *device = qobject_cast<Device *>(object))
        removeDeviceItem(device);
}

void MainWindow::dropPage(ServerItem *item)
{
    QWidget *page = m_pages.take(item);
    if (!page)
        return;
    ui->stackedWidget->removeWidget(page);
    disconnect(page, nullptr, this, nullptr);
    page->deleteLater();
}

void MainWindow::removeDeviceItem(Device *device)
{
    // A page that still polls its device must stop its threads before the device goes.
    if (auto *page = qobject_cast<MainDeviceWidget *>(m_pages.value(device)))
        emit page->closeApplication();
    dropPage(device);
    QTreeWidgetItem *item = m_items.take(device);
    if (auto *port = qobject_cast<Port *>(device->parentItem()))
        port->removeDevice(device->name());
    delete item;
    serverModified();
}

void MainWindow::removePortItem(Port *port)
{
    dropPage(port);
    QTreeWidgetItem *item = m_items.take(port);
    const QList<Device *> devices = port->devices();
    for (Device *device : devices)
        removeDeviceItem(device);
    // Every page that referred to the port is gone before the port itself.
    m_server->removePort(port->name());
    delete item;
    serverModified();
}

void MainWindow::find()
{
    const QList<Port *> all = ports();
    for (Port *port : all)
        port->closeLine();

    FindDeviceDialog *dialog = FindDeviceDialog::instance(this);
    dialog->setFont(m_settings->font);
    if (dialog->exec() != QDialog::Accepted)
        return;

    addFoundDevices(dialog->userSelection());
}

void MainWindow::addFoundDevices(const QList<QVariantMap> &records)
{
    QTreeWidgetItem *previous = ui->treeWidget->currentItem();
    const bool single = records.size() == 1;
    for (const QVariantMap &record : records) {
        const QString serialName = record.value(QStringLiteral("port")).toString();
        // The record names a serial line; the port that already uses it takes the device.
        Port *port = findPortBySerialName(serialName);
        if (!port) {
            QString name = serialName;
            for (int number = 2; m_server->portByName(ServerItem::sanitizeName(name)); ++number)
                name = QStringLiteral("%1 (%2)").arg(serialName).arg(number);
            port = m_server->addPort(name, -1);
            if (!port)
                continue;
            port->setSerialName(serialName);
            createTreeItem(port, false);
        }
        const int pollingAddress = record.value(QStringLiteral("polling_address")).toInt();
        const QString templateName = record.value(QStringLiteral("template")).toString();
        Device *device = port->addDevice(templateName, templateName, -1);
        if (!device)
            continue;
        device->setAddress(pollingAddress);
        device->setParameter(QStringLiteral("polling_address"), pollingAddress);
        for (const char *key : {"address", "tag", "descriptor", "date"})
            device->setParameter(QLatin1String(key), record.value(QLatin1String(key)));
        device->displayName();
        createDeviceWidget(port, device, single);
    }
    if (!single) {
        QTreeWidgetItem *restore = previous ? previous : rootItem();
        ui->treeWidget->setCurrentItem(restore);
    }
    // Found devices are a change of the configuration: an exit must ask before dropping them.
    if (!records.isEmpty())
        serverModified();
}
