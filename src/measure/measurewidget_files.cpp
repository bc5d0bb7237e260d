// Archive file chooser, archive writer reports and the table and plot exports.
#include "measure/measurewidget.h"

#include "core/appsettings.h"
#include "core/debugqtstream.h"
#include "core/heldlocks.h"
#include "core/prompt.h"
#include "measure/measuretablemodel.h"
#include "measure/plotter.h"
#include "model/device.h"
#include "model/port.h"

#include <QDateTime>
#include <QDir>
#include <QProgressDialog>
#include <QSaveFile>
#include <QTextStream>

namespace {

const QString kCsvFilter = QStringLiteral("Archives (*.csv);;All files (*)");
const QString kPngFilter = QStringLiteral("Archives (*.png);;All files (*)");
const QString kNameTime = QStringLiteral("yyyyMMdd_hhmmss");
const QString kRangeTime = QStringLiteral("yyMMdd_hhmmss");
// The progress of a table export is shown every this many rows.
constexpr int kProgressRows = 100;

} // namespace

// "<archives folder>/<device>_<from>[-<to>]<suffix>"
QString MeasureWidget::defaultFileName(const QString &suffix, const QString &from, const QString &to) const
{
    QString name = AppSettings::archivesDir() + QDir::separator() + device->name() + QLatin1Char('_') + from;
    if (!to.isEmpty())
        name += QLatin1Char('-') + to;
    return name + suffix;
}

void MeasureWidget::on_btnSelectFile_clicked()
{
    if (!device)
        return;
    QString start = device->measureInfo().value(QStringLiteral("archive_file_name")).toString();
    if (start.isEmpty())
        start = defaultFileName(QStringLiteral(".csv"), QDateTime::currentDateTime().toString(kNameTime), QString());
    const QString chosen = Prompt::getSaveFileName(this, tr("Save as..."), start, kCsvFilter);
    if (chosen.isEmpty())
        return;
    txtFileName->setText(chosen);

    // Whether it can be written, without emptying an archive the user means to continue.
    archiveFile.setFileName(chosen);
    if (!archiveFile.open(QIODevice::WriteOnly | QIODevice::Append)) {
        Prompt::warning(this, tr("Save As..."), tr("Cannot open file for writing: %1").arg(archiveFile.errorString()),
                        QMessageBox::Cancel);
        archiveFile.setFileName(QString());
        return;
    }
    archiveFile.close();
    QVariantMap info = device->measureInfo();
    info.insert(QStringLiteral("archive_file_name"), txtFileName->text());
    info.insert(QStringLiteral("archive_path_name"), QString());
    device->setMeasureInfo(info);
    emit changed();
}

void MeasureWidget::onFileThreadWriteLines(const QString &fileName, int count)
{
    DEBUGQT_LOG(4) << fileName << count;
    QString text = QStringLiteral("%1 [%2]").arg(fileName).arg(count);
    // Lines dropped while the file could not be written stay told once writing works again.
    const int lost = fileThread.lostLines();
    if (lost > 0)
        text += QLatin1Char(' ') + tr("Lines lost: %1.").arg(lost);
    lbFileName->setText(text);
}

void MeasureWidget::onFileThreadError(const QString &text)
{
    DEBUGQT_LOG(4) << text;
    // Shown where the archive's progress is, so a run that saves nothing does not look fine.
    lbFileName->setText(text);
}

void MeasureWidget::on_btnSaveAsFile_clicked()
{
    if (!device || exporting)
        return;
    const int rows = model->rowCount();
    const QString start = rows >= 2
        ? defaultFileName(QStringLiteral(".csv"), QDateTime::fromSecsSinceEpoch(model->row(0).time).toString(kRangeTime),
                          QDateTime::fromSecsSinceEpoch(model->row(rows - 1).time).toString(kRangeTime))
        : defaultFileName(QStringLiteral(".csv"), QDateTime::currentDateTime().toString(kNameTime), QString());
    const QString chosen = Prompt::getSaveFileName(this, tr("Save As..."), start, kCsvFilter);
    if (chosen.isEmpty())
        return;

    // Written beside the old file and put in its place at the end, so a failed export keeps it.
    QSaveFile file(chosen);
    if (!file.open(QIODevice::WriteOnly)) {
        Prompt::warning(this, tr("Save as file..."), tr("Cannot open file for writing data: %1").arg(file.errorString()),
                        QMessageBox::Cancel);
        return;
    }
    exporting = true;
    updateFileButtons();
    QProgressDialog progress(this);
    progress.setFont(font());
    progress.setWindowTitle(tr("Save File ..."));
    progress.setCancelButtonText(tr("Cancel"));
    progress.setRange(0, rows);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();

    const bool written = writeTableExport(file, progress);
    const QString error = file.errorString();
    if (!written)
        file.cancelWriting();
    const bool committed = file.commit();
    exporting = false;
    updateFileButtons();
    progress.close();
    if (!committed)
        Prompt::warning(this, tr("Save as file..."),
                        tr("Cannot write data to file: %1").arg(written ? file.errorString() : error),
                        QMessageBox::Cancel);
}

// True when every line reached the file: the file's own buffer hides a failed write until it
// is flushed.
bool MeasureWidget::writeTableExport(QSaveFile &file, QProgressDialog &progress)
{
    QTextStream out(&file);
    out.setEncoding(QStringConverter::System);
    const int rows = model->rowCount();
    const Port *port = device->port();
    const QString first = rows > 0 ? model->text(0, MeasureTableModel::TimeColumn) : QString();
    const QString last = rows > 0 ? model->text(rows - 1, MeasureTableModel::TimeColumn) : QString();
    out << device->name() << " ; " << device->parameterString(QStringLiteral("descriptor")) << " ; "
        << device->templateName() << " ; " << (port ? port->property("serial_name").toString() : QString()) << " ; "
        << device->address() << " ; " << periodText() << " ; " << first << " ; " << last << "; " << rows << " ;\n";

    const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    QList<int> values{MeasureTableModel::PVColumn, MeasureTableModel::CurrentColumn, MeasureTableModel::StatusColumn};
    for (int column = MeasureTableModel::SVColumn; column < MeasureTableModel::ColumnCount; ++column) {
        if (columnShown(column))
            values.append(column);
    }
    for (int r = 0; r < rows; ++r) {
        if (r % kProgressRows == 0) {
            out.flush();
            progress.setLabelText(tr("Save record %1...").arg(r));
            HeldLocks::setProgress(progress, r);
        }
        if (progress.wasCanceled())
            break;
        out << r + 1 << ';' << QDateTime::fromSecsSinceEpoch(model->row(r).time).toString(timeFormat) << ';';
        for (int column : values)
            out << model->text(r, column) << ';';
        out << '\n';
    }
    out << ";;\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.flush() && file.error() == QFileDevice::NoError;
}

void MeasureWidget::on_btnSavePlotInFile_clicked()
{
    if (!device)
        return;
    const QDateTime from = dtViewMinX->dateTime();
    const QDateTime to = dtViewMaxX->dateTime();
    const QString start = from.isValid() && to.isValid()
        ? defaultFileName(QStringLiteral(".png"), from.toString(kRangeTime), to.toString(kRangeTime))
        : defaultFileName(QStringLiteral(".png"), QDateTime::currentDateTime().toString(kNameTime), QString());
    const QString chosen = Prompt::getSaveFileName(this, tr("Save in file..."), start, kPngFilter);
    if (chosen.isEmpty())
        return;
    if (!plotter->savePicture(chosen))
        Prompt::warning(this, tr("Save in file..."), tr("Cannot save the plot in file: %1").arg(chosen),
                        QMessageBox::Cancel);
}
