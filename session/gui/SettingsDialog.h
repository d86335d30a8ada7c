#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace folyant::session {

// The agent's settings, from the desktop's menu: whether every print job
// asks where to save, the folder it starts from, the quality and opening
// the PDF afterwards. Saved on OK; the agent uses them from its next job.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);
    void accept() override;

private:
    QCheckBox* m_ask = nullptr;
    QLineEdit* m_folder = nullptr;
    QComboBox* m_quality = nullptr;
    QCheckBox* m_open = nullptr;
};

} // namespace folyant::session
