#pragma once

#include "core/appsettings.h"

#include <QDialog>
#include <QFont>

class QEvent;
class Ui_SettingsDialog;

// Edits a copy of the settings record: which log levels are written, the program's font, and
// whether the program is the primary or the secondary HART master. The caller hands the record
// in with setSettings() and, after an accepted run, takes settings() back; the dialog writes no
// file. Every field the dialog does not show comes back as it went in.
class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *parent = nullptr);
    ~SettingsDialog() override;

    void setSettings(const AppSettings &settings);
    AppSettings settings() const;

public slots:
    void accept() override;

private slots:
    void on_btnFont_clicked();
    void on_chkApplyCss_stateChanged(int state);

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateFontLabel();

    Ui_SettingsDialog *ui;
    AppSettings m_settings;
    QFont m_font;
};
