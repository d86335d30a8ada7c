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
// existing PDF is replaced only when the user says so. "Add to ..." adds the
// job's pages to an existing PDF instead (the session's previous one is
// offered first), and jobs waiting behind this one can be combined into the
// same PDF.
class SaveDialog : public QDialog {
    Q_OBJECT
public:
    // previousPdf: the last PDF saved in this session, or empty; waitingJobs:
    // how many of the user's jobs wait behind this one.
    SaveDialog(const SaveChoice& proposed, const QString& jobTitle, const QString& previousPdf = {},
        int waitingJobs = 0, QWidget* parent = nullptr);

    // The choice as accepted.
    const SaveChoice& choice() const { return m_choice; }
    // Whether the waiting jobs go into the same PDF, after this one.
    bool combinesWaitingJobs() const;
    // More jobs arrived while the dialog is open.
    void setWaitingJobs(int waitingJobs);

    void accept() override;
    // Accepts the dialog adding the job to that PDF, with the options as set;
    // false (with a message) for a PDF that cannot take pages.
    bool addTo(const QString& pdf);

private:
    void browse();
    void chooseAddTo();
    // The options of the dialog into the choice; false (with a message) when
    // they cannot be used.
    bool takeOptions();

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
    QCheckBox* m_combine = nullptr;
    QString m_previousPdf;
};

} // namespace folyant::session
