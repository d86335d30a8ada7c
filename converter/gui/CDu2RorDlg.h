#pragma once

#include "converter/core/ConversionJob.h"
#include "converter/gui/CFolderSettingsDlg.h"
#include "interpreter/PostScriptFeed.h"

#include <QDialog>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace folyant {
struct Platform;
class TerminationWatch;
} // namespace folyant

namespace folyant::converter {

class CPercentProgressCtrl;

// The converter's window "DU2ROR": shows which PDF is being written and how
// far the conversion has come, lets the user cancel it, and runs the
// post-processing chain when the input has been consumed.
class CDu2RorDlg final : public QDialog {
    Q_OBJECT
public:
    // Command identifiers.
    static constexpr int kCommandAbout = 16;
    static constexpr int kCommandQuality = 32771;
    static constexpr int kCommandOpenAndConvert = 32774;
    static constexpr int kCommandFolders = 32775;
    static constexpr int kCommandPaper = 32778;

    CDu2RorDlg(ConversionJob job, Platform& platform, QWidget* parent = nullptr);
    ~CDu2RorDlg() override;

    // Reads the settings, opens the input and starts the conversion.
    void OnInitDialog();
    // OnInitDialog, then the dialog until it ends. An unattended run whose
    // conversion did not start ends at once: nobody could leave it.
    int DoModal();

    int StartInterpreter();
    void SendPostScript(std::string_view text);
    void FeedStep();
    void CancelJob();
    void ExitAndSave();
    // A menu or keyboard command; false for one the dialog does not know.
    bool OnCommand(int id);

    // True: controls into the data; false: data into the controls.
    void UpdateData(bool saveAndValidate);

    // Chooses a folder for the folders dialog: caption, instruction and
    // initial folder in, the confirmed folder or nothing out. The folder
    // picker unless replaced.
    void setFolderChooser(CFolderSettingsDlg::FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    // Ends the run and the dialog when the process is asked to terminate.
    void setTerminationWatch(TerminationWatch* watch);

    const ConversionJob& job() const { return m_job; }
    ConversionJob& job() { return m_job; }
    const gs::PostScriptFeed& run() const { return m_run; }
    bool isConverting() const { return m_run.hasInterpreter(); }
    // True once the run's PDF was not written or a step it was asked for
    // (the protection) failed.
    bool hasFailed() const { return m_failed; }

public slots:
    void reject() override;

private:
    void createControls();
    // The run did not produce its PDF: the message, and nothing of the chain.
    void FailRun(int message);
    // The same for a run that nobody watches; in the dialog the user acts.
    void FailUnattendedRun(int message);
    void RunPostProcessing();
    void ProtectOutput();
    void MailOutput();
    void onTerminationRequested();
    void EditFolders();
    void EditQuality();
    void EditPaper();
    void OpenAndConvert();
    void setProgress(int position);

    ConversionJob m_job;
    Platform& m_platform;
    gs::PostScriptFeed m_run;
    TerminationWatch* m_termination = nullptr;
    CFolderSettingsDlg::FolderChooser m_chooseFolder;
    QTimer m_timer;
    std::size_t m_logShownBytes = 0;
    bool m_failed = false;

    CPercentProgressCtrl* m_progress = nullptr;
    QPushButton* m_exitButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLabel* m_amount = nullptr;
    QLabel* m_outputPath = nullptr;
    QCheckBox* m_closeAfterProcess = nullptr;
    QPlainTextEdit* m_logView = nullptr;
};

} // namespace folyant::converter
