#pragma once

#include "docconverter/core/DocumentJob.h"
#include "installation/InstallationFolders.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

namespace folyant {
class DefaultDestination;
class FileDialogs;
class MachineSettings;
class MessageBox;
class Shell;
class TerminationWatch;
class WordProcessorFonts;
} // namespace folyant

namespace folyant::docconverter {

// The stand-ins for the system that the document converter uses.
struct DocPlatform {
    MachineSettings& machine;
    MessageBox& messages;
    Shell& shell;
    FileDialogs& files;
    DefaultDestination& destinations;
    const WordProcessorFonts& fonts;
};

// Dialog 102 "Folyant Velmo": the document to convert and the PDF to write,
// the start command and its checks, and the job.
class CDocConverterDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCommandAbout = 16;
    static constexpr int kCommandHwpViewerPath = 32771;
    static constexpr int kCommandStart = 32773;
    static constexpr int kCommandClose = 32774;

    explicit CDocConverterDlg(DocPlatform platform, QWidget* parent = nullptr);
    ~CDocConverterDlg() override;

    // Reads the installation's folders and the HWP viewer path.
    void OnInitDialog();
    int DoModal();

    // True: fields into the stored paths; false: stored paths into the fields.
    void UpdateData(bool saveAndValidate);

    void OnBrowseDocument();
    void OnBrowsePdf();
    void OnViewPdf();
    void OnViewDocument();
    // The start command; what it came to.
    StartOutcome OnStart();
    // A menu or system command; false for one the dialog does not know.
    bool OnCommand(int id);

    std::string m_documentPath;
    std::string m_pdfPath;
    const InstallationFolders& folders() const { return m_folders; }
    const std::string& hwpViewerPath() const { return m_hwpViewerPath; }
    bool isRunningJob() const { return m_running; }

    // Ends the job (and then the dialog) when the process is asked to end.
    void setTerminationWatch(TerminationWatch* watch);
    // Stands in for the routes that print the document (tests).
    void setPrinter(DocumentJob::Printer printer) { m_printer = std::move(printer); }

public slots:
    void reject() override;
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void setControlsEnabled(bool enabled);
    bool pump();
    void onTerminationRequested();

    DocPlatform m_platform;
    InstallationFolders m_folders;
    std::string m_hwpViewerPath;
    int m_officeIdle = 300;
    TerminationWatch* m_termination = nullptr;
    DocumentJob::Printer m_printer;
    bool m_running = false;

    QLineEdit* m_documentEdit = nullptr;
    QLineEdit* m_pdfEdit = nullptr;
};

// The banner across the top of the dialog (bitmap 142), drawn for its size.
QPixmap bannerBitmap(const QSize& size);

} // namespace folyant::docconverter
