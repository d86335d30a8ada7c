#pragma once

#include "docconverter/core/DocumentInterpreter.h"
#include "docconverter/core/PrintRoutes.h"
#include "installation/InstallationFolders.h"

#include <functional>
#include <string>

namespace folyant {
class DefaultDestination;
class MachineSettings;
class MessageBox;
class TerminationWatch;
class WordProcessorFonts;
} // namespace folyant

namespace folyant::docconverter {

// What a job uses of the system.
struct JobPlatform {
    MessageBox& messages;
    DefaultDestination& destinations;
    const WordProcessorFonts& fonts;
};

// One document conversion: the virtual printer becomes the user's default
// destination, the document's application prints the document by its route so
// that the PostScript ends up in the temporary file, which is tested for
// completeness, converted with the stamp and deleted; the previous default is
// put back and the user is told the outcome. One job of a user runs at a time:
// a second one waits for the first.
class DocumentJob {
public:
    enum class Outcome { Converted, Failed, Cancelled };

    // Prints the document so that its PostScript ends up at the temporary
    // path; only the file it leaves counts.
    using Printer = std::function<void(
        const std::string& document, const std::string& pdf, const std::string& temporary)>;

    DocumentJob(InstallationFolders folders, JobPlatform platform, DocumentInterpreter::Pump pump);

    void setHwpViewerPath(std::string path) { m_hwpViewerPath = std::move(path); }
    // Whose hand-off and lock the job uses: the account's home unless set
    // (not $HOME: the backend, acting as the user, knows only the account's).
    void setHome(std::string home) { m_home = std::move(home); }
    // Someone watches the run (the dialog): the HWP viewer is waited for
    // without a limit, and may ask for a document's password itself.
    void setAttended(bool attended) { m_attended = attended; }
    void setWaitClock(WaitClock clock) { m_clock = std::move(clock); }
    void setProgramLimit(int milliseconds) { m_programLimit = milliseconds; }
    // How long the user's warm office stays without a document (seconds).
    void setOfficeIdle(int seconds) { m_officeIdle = seconds; }
    // Stands in for the routes: the application's printing, and nothing else.
    void setPrinter(Printer printer) { m_print = std::move(printer); }

    Outcome RunConversionJob(
        const std::string& document, const std::string& pdf, const std::string& temporary);

    // The route's printing and the completeness test: 1 complete, -2 not.
    int PrintThroughApplication(
        const std::string& document, const std::string& pdf, const std::string& temporary);

    const gs::ConversionLog& log() const { return m_interpreter.log(); }

private:
    Outcome convert(const std::string& document, const std::string& pdf, const std::string& temporary);
    void report(const char* text);

    InstallationFolders m_folders;
    JobPlatform m_platform;
    DocumentInterpreter::Pump m_pump;
    DocumentInterpreter m_interpreter;
    std::string m_hwpViewerPath;
    std::string m_home;
    WaitClock m_clock = WaitClock::real();
    int m_programLimit = 300000;
    int m_officeIdle = 300;
    bool m_attended = false;
    Printer m_print;
};

// What the document converter reads of its installation at start-up: the
// interpreter's folders (each failure shown with "Folyant Error") and, silently,
// the HWP viewer program and the warm office's idle time (OfficeIdleSeconds,
// five minutes unless a positive number).
struct DocumentInstallation {
    InstallationFolders folders;
    std::string hwpViewerPath;
    int officeIdleSeconds = 300;
};
DocumentInstallation readDocumentInstallation(const MachineSettings& machine, MessageBox& messages);

// The start command once the names have been taken from the fields: the
// checks (a refusal is shown with the caption "Folyant Error"), then the job.
// The names come back trimmed and completed.
enum class StartOutcome { NothingToDo, Refused, Converted, Failed, Cancelled };
struct StartNames;
StartOutcome runStartCommand(StartNames& names, MessageBox& messages, DocumentJob& job);

// A job's pump without a window: false once the process has been asked to
// end, which it then acknowledges, since the job ends itself from there
// however long its clean-up takes. A dialog lets its event queue run first.
bool pumpUnlessTerminated(TerminationWatch* watch);

inline constexpr const char* kConverted = "변환이 성공적으로 완료되었습니다.";
inline constexpr const char* kConversionFailed = "변환에 실패하였습니다.";
inline constexpr const char* kNoVirtualPrinter = "Invalid installation : Folyant Driver";
// What the user is told when the default printer could not be switched; the
// Part's messages have nothing for it.
inline constexpr const char* kSwitchFailed
    = "The default printer could not be switched to Folyant Velmo: your printer choices "
      "(~/.cups/lpoptions) cannot be written, the disk is full, or they are a symbolic link. "
      "Nothing was printed.";
inline constexpr const char* kRestoreFailed
    = "Your default printer could not be put back; the next document conversion puts it back.";
// The queue of the printer "Folyant Velmo".
inline constexpr const char* kVirtualPrinterQueue = "Folyant_Velmo";

} // namespace folyant::docconverter
