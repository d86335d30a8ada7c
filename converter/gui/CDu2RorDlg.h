#pragma once

#include "converter/core/ConversionRun.h"
#include "converter/gui/CFolderSettingsDlg.h"
#include "interpreter/PostScriptFeed.h"

#include <QDialog>
#include <QTimer>

#include <cstddef>
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
// far the conversion has come and lets the user cancel it; the run and its
// chain of steps are the ConversionRun's.
class CDu2RorDlg final : public QDialog, private RunView {
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
    // OnInitDialog, then the dialog until it ends. (A run that nobody
    // watches has no dialog: it is runToEnd's.)
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

    const ConversionJob& job() const { return m_conversion.job(); }
    ConversionJob& job() { return m_conversion.job(); }
    const gs::PostScriptFeed& run() const { return m_conversion.feed(); }
    bool isConverting() const { return m_conversion.feed().hasInterpreter(); }
    bool hasFailed() const { return m_conversion.hasFailed(); }

public slots:
    void reject() override;

private:
    void createControls();
    void onTerminationRequested();
    // RunView
    void showState() override { UpdateData(false); }
    void showProgress(int position) override { setProgress(position); }
    void showConverting(bool converting) override;
    void showFeeding() override;
    void finish() override { QDialog::reject(); }
    void showMailProgram(bool running) override;
    void EditFolders();
    void EditQuality();
    void EditPaper();
    void OpenAndConvert();
    void setProgress(int position);

    Platform& m_platform;
    ConversionRun m_conversion;
    CFolderSettingsDlg::FolderChooser m_chooseFolder;
    QTimer m_timer;
    std::size_t m_logShownBytes = 0;

    CPercentProgressCtrl* m_progress = nullptr;
    QPushButton* m_exitButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLabel* m_amount = nullptr;
    QLabel* m_outputPath = nullptr;
    QCheckBox* m_closeAfterProcess = nullptr;
    QPlainTextEdit* m_logView = nullptr;
};

} // namespace folyant::converter
