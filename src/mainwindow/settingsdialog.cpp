#include "mainwindow/settingsdialog.h"

#include "core/debugqtstream.h"
#include "core/prompt.h"
#include "ui_settingsdialog.h"

#include <QEvent>

namespace {

const QString ErrorFlag = QStringLiteral("ERR");
const QString WarningFlag = QStringLiteral("WARN");
const QString InfoFlag = QStringLiteral("INFO");

} // namespace

// The settings record has no public constructor; the dialog starts from a copy of the
// program's own, which setSettings() then replaces.
SettingsDialog::SettingsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui_SettingsDialog)
    , m_settings(*AppSettings::instance())
{
    ui->setupUi(this);
    ui->grboxUnused->hide();
}

SettingsDialog::~SettingsDialog()
{
    delete ui;
}

void SettingsDialog::setSettings(const AppSettings &settings)
{
    m_settings = settings;
    ui->b_dbg_err->setChecked(settings.logFlags.contains(ErrorFlag));
    ui->b_dbg_warn->setChecked(settings.logFlags.contains(WarningFlag));
    ui->b_dbg_info->setChecked(settings.logFlags.contains(InfoFlag));
    ui->chkAddComments->setChecked(settings.addComments);
    ui->chkApplyCss->setChecked(settings.applyCss);
    if (settings.primaryMaster)
        ui->rbPrimaryMaster->setChecked(true);
    else
        ui->rbSecondaryMaster->setChecked(true);
    if (settings.applyCss)
        ui->btnFont->setEnabled(false);
    m_font = settings.font;
    updateFontLabel();
}

AppSettings SettingsDialog::settings() const
{
    return m_settings;
}

void SettingsDialog::updateFontLabel()
{
    ui->lbFont->setText(QStringLiteral("%1 %2pt %3 %4")
                            .arg(m_font.family())
                            .arg(m_font.pointSize())
                            .arg(m_font.weight() > QFont::Normal ? QStringLiteral("bold") : QString(),
                                 m_font.style() != QFont::StyleNormal ? QStringLiteral("italic") : QString()));
}

void SettingsDialog::on_btnFont_clicked()
{
    bool accepted = false;
    const QFont chosen = Prompt::getFont(&accepted, m_font, this);
    if (!accepted)
        return;
    if (chosen != m_font) {
        DEBUGQT_LOG(4) << "font:" << chosen.toString();
        m_font = chosen;
    }
    updateFontLabel();
}

void SettingsDialog::on_chkApplyCss_stateChanged(int state)
{
    ui->btnFont->setEnabled(state != Qt::Checked);
}

void SettingsDialog::accept()
{
    QStringList flags;
    if (ui->b_dbg_err->isChecked())
        flags.append(ErrorFlag);
    if (ui->b_dbg_warn->isChecked())
        flags.append(WarningFlag);
    if (ui->b_dbg_info->isChecked())
        flags.append(InfoFlag);
    m_settings.logFlags = flags;
    m_settings.addComments = ui->chkAddComments->isChecked();
    if (ui->chkApplyCss->isChecked() != m_settings.applyCss) {
        Prompt::warning(this, tr("Settings changes"), tr("Changes w'll take effect after the program is restarted."),
                        QMessageBox::Ok);
        m_settings.applyCss = ui->chkApplyCss->isChecked();
    }
    m_settings.primaryMaster = ui->rbPrimaryMaster->isChecked();
    m_settings.font = m_font;
    QDialog::accept();
}

void SettingsDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        updateFontLabel();
    }
    QDialog::changeEvent(event);
}
