#include "mainwindow/deviceadddialog.h"

#include "core/debugqtstream.h"
#include "ui_deviceadddialog.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QPushButton>

namespace {

enum Column { NameColumn, TemplateColumn, ProducerColumn, DescriptionColumn, VersionColumn, ColumnCount };

constexpr int DefaultSectionSize = 150;
const char *const Context = "DeviceAddDialog";

struct TemplateRow
{
    const char *name;
    const char *producer;
    const char *comment;
};

// The template name is the row's untranslated name.
const TemplateRow Templates[] = {
    {QT_TRANSLATE_NOOP("DeviceAddDialog", "Zorvan-M"), QT_TRANSLATE_NOOP("DeviceAddDialog", "Morvell"),
     QT_TRANSLATE_NOOP("DeviceAddDialog", "Temperature converter")},
    {QT_TRANSLATE_NOOP("DeviceAddDialog", "Belkor-M"), QT_TRANSLATE_NOOP("DeviceAddDialog", "Morvell"),
     QT_TRANSLATE_NOOP("DeviceAddDialog", "Temperature converter")},
    {QT_TRANSLATE_NOOP("DeviceAddDialog", "Drumel-M"), QT_TRANSLATE_NOOP("DeviceAddDialog", "Morvell"),
     QT_TRANSLATE_NOOP("DeviceAddDialog", "Pressure converter")},
    {QT_TRANSLATE_NOOP("DeviceAddDialog", "Acivel-M"), QT_TRANSLATE_NOOP("DeviceAddDialog", "Morvell"),
     QT_TRANSLATE_NOOP("DeviceAddDialog", "pH-meter")},
    {QT_TRANSLATE_NOOP("DeviceAddDialog", "General"), QT_TRANSLATE_NOOP("DeviceAddDialog", "Anyone"),
     QT_TRANSLATE_NOOP("DeviceAddDialog", "Only universal and common (partly) functions")},
};
const char *const TemplateVersion = QT_TRANSLATE_NOOP("DeviceAddDialog", "1.0");

QString translated(const char *text)
{
    return QCoreApplication::translate(Context, text);
}

} // namespace

DeviceAddDialog::DeviceAddDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_DeviceAddDialog)
{
    ui->setupUi(this);

    QTableWidget *table = ui->tableWidget;
    table->setColumnCount(ColumnCount);
    table->setHorizontalHeaderLabels({tr("Name"), tr("Template"), tr("Producer"), tr("Description"), tr("Version")});
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setSectionResizeMode(DescriptionColumn, QHeaderView::Stretch);
    table->setSortingEnabled(false);
    table->verticalHeader()->setDefaultSectionSize(table->verticalHeader()->minimumSectionSize());
    table->horizontalHeader()->setDefaultSectionSize(DefaultSectionSize);

    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    fillTemplates();
    // Connected after the filling, so adding the rows never runs the slot.
    connect(table, &QTableWidget::itemChanged, this, &DeviceAddDialog::updateOkButton);
}

DeviceAddDialog::~DeviceAddDialog()
{
    delete ui;
}

void DeviceAddDialog::fillTemplates()
{
    QVariantMap row;
    for (const TemplateRow &entry : Templates) {
        row.insert(QStringLiteral("name"), translated(entry.name));
        row.insert(QStringLiteral("id"), QString::fromLatin1(entry.name));
        row.insert(QStringLiteral("producer"), translated(entry.producer));
        row.insert(QStringLiteral("comment"), translated(entry.comment));
        row.insert(QStringLiteral("version"), translated(TemplateVersion));
        addTemplateRow(row);
    }
    ui->tableWidget->resizeColumnsToContents();
}

void DeviceAddDialog::addTemplateRow(const QVariantMap &row)
{
    QTableWidget *table = ui->tableWidget;
    const int index = table->rowCount();
    table->insertRow(index);
    const char *const keys[ColumnCount] = {"name", "id", "producer", "comment", "version"};
    for (int column = 0; column < ColumnCount; ++column) {
        auto *cell = new QTableWidgetItem(row.value(QLatin1String(keys[column])).toString());
        cell->setFlags(cell->flags() & ~Qt::ItemIsEditable);
        if (column == NameColumn) {
            cell->setFlags(cell->flags() | Qt::ItemIsUserCheckable);
            cell->setCheckState(Qt::Unchecked);
        }
        table->setItem(index, column, cell);
    }
}

QMap<QString, QString> DeviceAddDialog::userSelection() const
{
    QMap<QString, QString> selection;
    const QTableWidget *table = ui->tableWidget;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *name = table->item(row, NameColumn);
        if (!name || name->checkState() != Qt::Checked)
            continue;
        const QString templateName = table->item(row, TemplateColumn)->text();
        selection.insert(name->text(), templateName);
        DEBUGQT_LOG(4) << "userSelection" << name->text() << templateName;
    }
    return selection;
}

void DeviceAddDialog::updateOkButton()
{
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!userSelection().isEmpty());
}

void DeviceAddDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setWindowTitle(tr("Select device template..."));
    QDialog::changeEvent(event);
    // The window gives the dialog the settings font after the table was filled: the columns
    // take their contents' width in it, so that no template name is cut.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        ui->tableWidget->resizeColumnsToContents();
}
