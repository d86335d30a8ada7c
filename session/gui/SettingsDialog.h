#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace folyant::session {

// The agent's settings, from the desktop's menu: whether every print job
// asks where to save, the folder it starts from, the PDF's name template,
// the quality and opening the PDF afterwards. Saved on OK, never with a name
// template that could not name a PDF; they count from the next job.
class SettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit SettingsDialog(QWidget* parent = nullptr);
    void accept() override;

private:
    // Shows what is wrong with the name template; false when something is.
    bool checkOutputName();

    QCheckBox* m_ask = nullptr;
    QLineEdit* m_folder = nullptr;
    QLineEdit* m_outputName = nullptr;
    QLabel* m_outputNameError = nullptr;
    QPushButton* m_ok = nullptr;
    // The machine's template: a user's equal to it is stored as none, so
    // that the administrator's later changes reach this user.
    QString m_machineOutputName;
    bool m_hadOwnOutputName = false;
    QComboBox* m_quality = nullptr;
    QCheckBox* m_open = nullptr;
};

} // namespace folyant::session
