#include "mainwindow/mainwindow.h"

#include "ui_mainwindow.h"

#include "core/application.h"
#include "core/appsettings.h"
#include "core/debugqt.h"
#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "model/port.h"
#include "model/server.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>
#include <QSignalBlocker>

#include <utility>

namespace {

QString backupName(const QString &fileName)
{
    return fileName + QStringLiteral(".bak");
}

quint32 logMask(const QStringList &flags)
{
    quint32 mask = DebugQt::FormatBits;
    for (const QString &flag : flags) {
        if (flag == QLatin1String("ERR"))
            mask |= DebugQt::LevelError;
        else if (flag == QLatin1String("WARN"))
            mask |= DebugQt::LevelWarning;
        else if (flag == QLatin1String("INFO"))
            mask |= DebugQt::LevelInfo;
    }
    return mask;
}

// Why content is not one JSON document; empty when it is.
QString parseFailure(const QByteArray &content)
{
    QJsonParseError error;
    QJsonDocument::fromJson(content, &error);
    return error.error == QJsonParseError::NoError ? QString() : error.errorString();
}

// A configuration file that cannot be opened or is not one JSON document; empty when it can be read.
QString unreadableReason(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    return parseFailure(file.readAll());
}

// Replaces a file with the whole of content, or leaves it as it is: the new content goes to a
// temporary file first, which takes the file's name only once it is complete.
bool replaceFile(const QString &fileName, const QByteArray &content, QString *error)
{
    QSaveFile target(fileName);
    // A full disk can cut the write short without an error: the size on disk tells.
    const bool written = target.open(QIODevice::WriteOnly) && target.write(content) == content.size()
                         && target.flush() && target.size() == content.size();
    *error = target.errorString();
    if (!written) {
        target.cancelWriting();
        return false;
    }
    const bool ok = target.commit();
    *error = target.errorString();
    return ok;
}

bool readFile(const QString &fileName, QByteArray *content, QString *error)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly))
        *content = file.readAll();
    *error = file.errorString();
    return file.error() == QFileDevice::NoError;
}

// Whether a server map holds ports at all; a map without them is an empty tree, not a failure.
bool hasPorts(const QVariantMap &server)
{
    const QVariant ports = server.value(QStringLiteral("ports"));
    return ports.typeId() == QMetaType::QVariantList && !ports.toList().isEmpty();
}

} // namespace

void MainWindow::loadConfig()
{
    DEBUGQT_LOG(4) << "loadConfig begin";
    AppSettings::instance()->loadStartup();
    loadConfigData();
    applyAppSettings();
    // The tree stays empty for a file that does not parse; the user must know before an edit
    // and a save replace it.
    const QString fileName = AppSettings::configFileName();
    const QString reason = unreadableReason(fileName);
    if (!reason.isEmpty())
        Prompt::critical(this, m_productTitle, tr("Cannot read the configuration file '%1': %2").arg(fileName, reason));
    DEBUGQT_LOG(4) << "loadConfig end";
}

bool MainWindow::loadConfigData()
{
    DEBUGQT_LOG(4) << "loadConfigData begin";
    // The pages are built in the configuration's language and font: set after them, both would
    // have to reach every field of every page, and every page would translate itself again.
    Application::setLanguage(m_settings->language);
    QCoreApplication::sendPostedEvents(this, QEvent::LanguageChange);
    applySettingsFont();
    bool loaded = m_server->load(m_settings->server);
    if (!loaded && !hasPorts(m_settings->server)) {
        // The embedded default and any emptied tree the program saved have no ports.
        m_server->removeAllPorts();
        onServerLoaded();
        loaded = true;
    }
    if (loaded)
        setCurrentFile(AppSettings::configFileName());
    DEBUGQT_LOG(4) << "loadConfigData end";
    return loaded;
}

bool MainWindow::loadConfigFile(const QString &fileName)
{
    DEBUGQT_LOG(4) << "loadConfigFile" << QStringLiteral("\"%1\"").arg(fileName);
    // Refuse a file that cannot be read before anything changes: the current configuration,
    // its title and "startup.cfg" stay as they were.
    const QString reason = unreadableReason(fileName);
    if (!reason.isEmpty()) {
        Prompt::critical(this, m_productTitle, tr("Cannot read the configuration file '%1': %2").arg(fileName, reason));
        return false;
    }
    newTree(true);
    // The pages and items of the old tree are gone before the new ones are built, rather than
    // when the event loop next runs: both trees at once would take twice the memory, and the
    // stack would go on walking the old pages while the new ones are added.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_settings->loadConfigFile(fileName);
    if (!loadConfigData())
        return false;
    applyAppSettings();
    if (QTreeWidgetItem *top = rootItem(); top && top->treeWidget())
        top->setExpanded(true);
    onFirstEvent();
    return true;
}

void MainWindow::open()
{
    if (!maybeSave(false))
        return;
    const QString name = Prompt::getOpenFileName(this, tr("Open cfg.."), AppSettings::cfgDir());
    if (name.isEmpty())
        return;
    if (!loadConfigFile(name))
        return;
    setWindowModified(false);
    setRootItemFont(false);
    updateActions();
    updateStatusBar();
}

void MainWindow::newTree(bool force)
{
    DEBUGQT_LOG(4) << "newTree";
    if (!force && !maybeSave(false))
        return;
    if (QTreeWidgetItem *top = rootItem()) {
        if (top->treeWidget())
            top->setSelected(true);
        ui->treeWidget->setCurrentItem(top);
    }
    const QList<Port *> all = ports();
    for (Port *port : all)
        removePortItem(port);
    serverModified();
    updateActions();
}

bool MainWindow::saveWithQuestion()
{
    const auto answer = Prompt::warning(this, m_productTitle, tr("Do you want to save your configuration?"),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    return answer == QMessageBox::Yes && save();
}

bool MainWindow::save()
{
    DEBUGQT_LOG(4) << "save";
    if (AppSettings::configFileName().isEmpty())
        return saveAs();
    if (!backupConfigFile())
        return false;
    if (!saveConfigFile(AppSettings::configFileName())) {
        rollbackBackupConfigFile();
        return false;
    }
    setCurrentFile(AppSettings::configFileName());
    updateActions();
    updateAllTreeItems();
    statusBar()->showMessage(
        tr("Configuration saved on %1").arg(Application::dateTimeText(QDateTime::currentDateTime())));
    return true;
}

bool MainWindow::saveAs()
{
    const QString current = AppSettings::configFileName();
    const QString startFolder = QFileInfo::exists(current) ? QFileInfo(current).absolutePath() : QString();
    DEBUGQT_LOG(4) << "saveAs" << QStringLiteral("\"%1\"").arg(startFolder);
    const QString chosen = Prompt::getSaveFileName(this, tr("Save As.."), startFolder);
    if (chosen.isEmpty())
        return false;
    if (!saveConfigFile(chosen)) {
        AppSettings::setConfigFileName(current);
        return false;
    }
    const QString written = AppSettings::configFileName();
    if (current.isEmpty() || QFileInfo(written) != QFileInfo(current)) {
        // Only a copy was written: the current file is still behind the window's state.
        const bool modified = isWindowModified();
        setCurrentFile(current);
        setWindowModified(modified);
        setRootItemFont(modified);
    } else {
        setCurrentFile(current);
    }
    updateAllTreeItems();
    statusBar()->showMessage(tr("Configuration saved on %1 in file %2")
                                 .arg(Application::dateTimeText(QDateTime::currentDateTime()), chosen));
    updateActions();
    return true;
}

bool MainWindow::saveConfigFile(const QString &fileName)
{
    DEBUGQT_LOG(4) << "saveConfigFile" << QStringLiteral("\"%1\"").arg(fileName);
    m_settings->server = m_server->save();
    m_settings->geometry = saveGeometry();
    m_settings->splitter = ui->splitter->saveState();
    if (QTreeWidgetItem *current = ui->treeWidget->currentItem()) {
        ServerItem *object = current->data(0, Qt::UserRole).value<ServerItem *>();
        if (object && object->parentItem())
            m_settings->currentItem = object->parentItem()->name() + QLatin1Char('/') + object->name();
    }
    AppSettings::setConfigFileName(fileName);
    const bool ok = m_settings->saveConfigFile();
    if (!ok)
        Prompt::critical(this, m_productTitle, tr("Config file write error!"));
    return ok;
}

bool MainWindow::backupConfigFile()
{
    const QString name = AppSettings::configFileName();
    if (name.isEmpty())
        return false;
    if (!QFileInfo::exists(name))
        return true;
    const QString backup = backupName(name);
    QByteArray content;
    QString error;
    const bool read = readFile(name, &content, &error);
    // A file that does not parse is no backup: the last good one stays, and the save that
    // replaces the file keeps the damaged one beside it under a name of its own.
    if (read && !parseFailure(content).isEmpty()) {
        DEBUGQT_LOG(2) << "*** configuration file does not parse, backup kept:" << backup;
        return true;
    }
    if (!read || !replaceFile(backup, content, &error)) {
        const QString text = tr("can't copy file '%1' to '%2', '%3'").arg(name, backup, error);
        DEBUGQT_LOG(1) << text;
        Prompt::critical(this, tr("Backup config file"), text);
        return false;
    }
    return true;
}

bool MainWindow::rollbackBackupConfigFile()
{
    const QString name = AppSettings::configFileName();
    if (name.isEmpty())
        return false;
    const QString backup = backupName(name);
    if (!QFile::exists(backup)) {
        Prompt::critical(this, tr("Error"), tr("backup file '%1' not exists!").arg(backup));
        return false;
    }
    QByteArray content;
    QString error;
    bool ok = readFile(backup, &content, &error);
    if (ok) {
        QFile current(name);
        if (current.open(QIODevice::ReadOnly) && current.readAll() == content)
            return true; // the failed write left the file intact
        // The file is replaced only by a complete copy, so a second failure keeps what is there.
        ok = replaceFile(name, content, &error);
    }
    if (!ok) {
        const QString text = tr("can't copy file '%1' to '%2', '%3'").arg(backup, name, error);
        DEBUGQT_LOG(1) << text;
        Prompt::critical(this, tr("Rollback config file"), text);
    }
    return ok;
}

void MainWindow::serverModified()
{
    DEBUGQT_LOG(4) << "serverModified";
    // The backup keeps the file as it was before the first change. When it cannot be made (or
    // the configuration is untitled) the change is still marked, so it is not lost on exit;
    // Save itself writes nothing without its backup.
    if (!isWindowModified())
        backupConfigFile();
    setWindowModified(true);
    setRootItemFont(true);
    updateActions();
    updateStatusBar();
}

bool MainWindow::maybeSave(bool exit)
{
    if (isWindowModified()) {
        const auto answer = Prompt::warning(this, m_productTitle,
                                            tr("Configuration has been modified.\nDo you want to save your changes?"),
                                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        if (answer == QMessageBox::Yes)
            return save();
        return answer == QMessageBox::No;
    }
    if (!exit)
        return true;
    const auto answer = Prompt::warning(this, m_productTitle, tr("Are you sure you want to exit the application ?"),
                                        QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Cancel);
    return answer == QMessageBox::Yes;
}

void MainWindow::closeOnTermination()
{
    m_terminating = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A close that comes through the event processing of this thread's own transaction (a
    // termination signal or the window system, while the status page repaints or the test
    // dialog runs) would wait for that transaction's line as the pages stop their pollers. It
    // comes again once the line is free.
    if (Port::lineHeldHere()) {
        event->ignore();
        if (!std::exchange(m_closeDeferred, true)) {
            Port::afterLinesReleased(this, [this] {
                m_closeDeferred = false;
                close();
            });
        }
        return;
    }
    if (!m_terminating && !maybeSave(true)) {
        event->ignore();
        return;
    }
    emit closeApplication();
    QMainWindow::closeEvent(event);
}

void MainWindow::setCurrentFile(const QString &fileName)
{
    DEBUGQT_LOG(4) << "setCurrentFile" << QStringLiteral("\"%1\"").arg(fileName);
    AppSettings::setConfigFileName(fileName);
    setWindowModified(false);
    setRootItemFont(false);
    m_shownFileName = AppSettings::configFileName();
    if (m_shownFileName.isEmpty())
        m_shownFileName = QStringLiteral("Untitled");
    updateWindowTitle();
}

void MainWindow::updateWindowTitle()
{
    DEBUGQT_LOG(4) << "updateWindowTitle" << QStringLiteral("\"%1\"").arg(m_shownFileName);
    m_productTitle = tr("Tenvara");
    m_makerTitle = tr("Morvell. ") + m_productTitle;
    setWindowTitle(tr("%1 - [*]%2").arg(m_makerTitle, m_shownFileName));
}

void MainWindow::applySettingsFont()
{
    if (m_settings->font.family().isEmpty())
        m_settings->font = QFont(QStringLiteral("MS Sans Serif"), 10);
    else
        DEBUGQT_LOG(4) << m_settings->font.family();
    ui->mainTabWidget->setFont(m_settings->font);
}

void MainWindow::applyAppSettings()
{
    DEBUGQT_LOG(4) << "applyAppSettings begin";
    DebugQt::instance(DebugQt::FormatBits | DebugQt::LevelError | DebugQt::LevelWarning, nullptr)->mask =
        logMask(m_settings->logFlags);
    Application::setLanguage(m_settings->language);
    {
        const QSignalBlocker blocker(m_languageSelector);
        m_languageSelector->setCurrentIndex(m_languageSelector->findData(m_settings->language));
    }
    if (!m_settings->geometry.isEmpty())
        restoreGeometry(m_settings->geometry);
    if (!m_settings->splitter.isEmpty())
        ui->splitter->restoreState(m_settings->splitter);
    applySettingsFont();
    if (m_server)
        m_server->setPrimaryMaster(m_settings->primaryMaster);
    DEBUGQT_LOG(4) << "applyAppSettings end";
}
