#pragma once

#include "session/core/SaveChoice.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;

namespace folyant::session {

// Asks where a print job's PDF goes and how it is made: the name (from the
// job's title), the folder, the quality, protection with passwords, mail,
// opening it afterwards. Accepted only with a usable name and folder; an
// existing PDF is replaced only when the user says so.
class SaveDialog : public QDialog {
    Q_OBJECT
public:
    SaveDialog(const SaveChoice& proposed, const QString& jobTitle, QWidget* parent = nullptr);

    // The choice as accepted.
    const SaveChoice& choice() const { return m_choice; }

    void accept() override;

private:
    void browse();

    SaveChoice m_choice;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_folder = nullptr;
    QComboBox* m_quality = nullptr;
    QGroupBox* m_protect = nullptr;
    QLineEdit* m_userPassword = nullptr;
    QLineEdit* m_ownerPassword = nullptr;
    QCheckBox* m_allowPrinting = nullptr;
    QCheckBox* m_allowCopying = nullptr;
    QCheckBox* m_mail = nullptr;
    QCheckBox* m_open = nullptr;
};

} // namespace folyant::session
