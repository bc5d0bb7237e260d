// Test templates: finding them, offering those of the bound device, turning the chosen one (or
// the list of readable commands) into step rows, choosing the tests folder and copying a template.

#include "testrunner/testdevicedialog.h"

#include "core/appsettings.h"
#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "core/qjsonsettings.h"
#include "model/device.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QTableWidgetItem>

#include <limits>

namespace {

constexpr int HighestReadFunction = 199;
constexpr int ReadFunctionCycles = 5;

const QString FileNameKey = QStringLiteral("file_name");
const QString CommandsKey = QStringLiteral("commands");
const QString ParametersKey = QStringLiteral("parameters");

QTableWidgetItem *fixedItem(const QVariant &display)
{
    auto *item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, display);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QTableWidgetItem *checkedCommandItem(int command)
{
    QTableWidgetItem *item = fixedItem(command);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
    return item;
}

// A whole number from a template, kept inside int so that a huge one cannot wrap.
int boundedInt(const QVariant &value, int defaultValue)
{
    if (!value.isValid())
        return defaultValue;
    const qint64 number = value.toLongLong();
    return int(qBound(qint64(std::numeric_limits<int>::min()), number, qint64(std::numeric_limits<int>::max())));
}

} // namespace

void TestDeviceDialog::loadTestTemlates(const QString &extraFolder)
{
    const QSignalBlocker blocker(tableWidget);
    cmbTemplates->clear();
    // The first item becomes current at once and shows the read-function rows.
    cmbTemplates->addItem(tr("Available read functions "));

    QStringList folders{QStringLiteral(":/tests"), AppSettings::instance()->testsPath};
    if (!extraFolder.isEmpty())
        folders.append(extraFolder);
    for (const QString &folder : folders) {
        const QDir dir(folder);
        if (!dir.exists())
            continue;
        const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.tpl")}, QDir::Files, QDir::Name);
        for (const QFileInfo &file : files) {
            DEBUGQT_LOG(4) << file.absoluteFilePath() << file.fileName();
            appendTemplateData(file.absoluteFilePath());
        }
    }
}

void TestDeviceDialog::appendTemplateData(const QString &path)
{
    if (!m_device)
        return;
    QSettings settings(path, QJsonSettings::jsonFormat());
    if (settings.status() != QSettings::NoError) {
        lbError->setText(tr("Failed to load test %1").arg(path));
        return;
    }
    for (const char *key : {"device", "description", "name", "template"}) {
        if (!settings.contains(QLatin1String(key))) {
            DEBUGQT_LOG(4) << QStringLiteral("invalid template '%1'").arg(path);
            return;
        }
    }
    const QString templateName = settings.value(QStringLiteral("template")).toString();
    DEBUGQT_LOG(4) << templateName << m_device->templateName();
    if (templateName != m_device->templateName())
        return;

    QVariantMap device = mapValue(settings.value(QStringLiteral("device")));
    device.insert(FileNameKey, path);
    cmbTemplates->addItem(settings.value(QStringLiteral("description")).toString(), device);
}

void TestDeviceDialog::appendReadFunctionRows()
{
    if (!m_device)
        return;
    tableWidget->setRowCount(0);
    for (int command = 0; command <= HighestReadFunction; ++command) {
        const QString name = m_device->readCommandName(command);
        if (!name.isEmpty())
            appendRow(checkedCommandItem(command), tr("reading %1").arg(name), new QTableWidgetItem,
                      ReadFunctionCycles);
    }
    finishRows();
}

void TestDeviceDialog::appendCommandRow(const QVariantList &steps)
{
    if (!m_device)
        return;
    tableWidget->setRowCount(0);
    for (const QVariant &step : steps) {
        if (step.typeId() != QMetaType::QVariantMap) {
            DEBUGQT_LOG(4) << "*** a step that is not an object is skipped:" << step.toString();
            continue;
        }
        appendStepRow(step.toMap());
    }
    finishRows();
}

void TestDeviceDialog::appendStepRow(const QVariantMap &step)
{
    QTableWidgetItem *cmd = checkedCommandItem(boundedInt(step.value(QStringLiteral("number")), 0));
    cmd->setData(Qt::UserRole, step);
    const bool writes = !mapValue(step.value(ParametersKey)).isEmpty();
    const int cycles = boundedInt(step.value(QStringLiteral("cycles")), 1);
    appendRow(cmd, step.value(QStringLiteral("description")).toString(),
              fixedItem(writes ? QStringLiteral(" ... ") : QString()), cycles == 0 ? 1 : cycles);
}

void TestDeviceDialog::appendRow(QTableWidgetItem *cmd, const QString &context, QTableWidgetItem *values, int cycles)
{
    const int row = tableWidget->rowCount();
    tableWidget->insertRow(row);
    QTableWidgetItem *contextItem = fixedItem(context);
    contextItem->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *cyclesItem = new QTableWidgetItem;
    cyclesItem->setData(Qt::DisplayRole, cycles);
    tableWidget->setItem(row, CmdColumn, cmd);
    tableWidget->setItem(row, ContextColumn, contextItem);
    tableWidget->setItem(row, ValuesColumn, values);
    tableWidget->setItem(row, CyclesColumn, cyclesItem);
    tableWidget->setItem(row, ErrorCountColumn, fixedItem(0));
    tableWidget->setItem(row, ErrorTextColumn, fixedItem(QString()));
}

void TestDeviceDialog::finishRows()
{
    updateTotals();
    tableWidget->resizeColumnsToContents();
    updateStartButton();
}

void TestDeviceDialog::on_cmbTemplates_currentIndexChanged(int index)
{
    if (index < 0)
        return;
    btnContinue->hide();
    const QSignalBlocker blocker(tableWidget);
    if (index == 0) {
        appendReadFunctionRows();
        spnCycles->setValue(1);
        btnSaveAs->setEnabled(false);
    } else {
        currentTemplate = mapValue(cmbTemplates->itemData(index));
        appendCommandRow(listValue(currentTemplate.value(CommandsKey)));
        btnSaveAs->setEnabled(currentTemplate.contains(FileNameKey));
    }
    updateStartButton();
}

void TestDeviceDialog::on_btnOpenFrom_clicked()
{
    const QString folder = Prompt::getExistingDirectory(this, tr("Path for tests"), AppSettings::instance()->testsPath);
    if (folder.isEmpty())
        return;
    AppSettings::instance()->testsPath = folder;
    loadTestTemlates(QString());
    emit changed();
}

void TestDeviceDialog::on_btnSaveAs_clicked()
{
    const QString title = tr("Error copying the test template file");
    const QString source = currentTemplate.value(FileNameKey).toString();
    if (!QFileInfo::exists(source)) {
        Prompt::critical(this, title, tr("The test template file does not exist!"));
        return;
    }
    const QString destination =
        Prompt::getSaveFileName(this, tr("Save As..."), AppSettings::instance()->testsPath + QLatin1Char('/'),
                                QStringLiteral("Reports (*.tpl);;All files (*)"));
    if (destination.isEmpty())
        return;
    // Removing the destination first would delete the template itself.
    if (QFileInfo(destination).canonicalFilePath() == QFileInfo(source).canonicalFilePath())
        return;

    QFile target(destination);
    if (target.exists() && !target.remove()) {
        Prompt::critical(this, title, tr("can't remove file '%1', '%2'").arg(target.fileName(), target.errorString()));
        return;
    }
    QFile file(source);
    if (!file.copy(destination)) {
        const QString text = tr("can't copy file '%1' to '%2', '%3'").arg(source, destination, file.errorString());
        DEBUGQT_LOG(4) << text;
        Prompt::critical(this, title, text);
        return;
    }
    // A copy of an embedded template is read-only; the user must be able to edit it.
    QFile::setPermissions(destination, QFile::permissions(destination) | QFile::ReadOwner | QFile::WriteOwner);
}
