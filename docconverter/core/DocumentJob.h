#pragma once

#include "docconverter/core/DocumentInterpreter.h"
#include "platform/InstallationFolders.h"

#include <functional>
#include <string>

namespace folyant {
class MessageBox;
} // namespace folyant

namespace folyant::docconverter {

// One document conversion: the document's application prints it into the
// temporary PostScript, which is tested for completeness, converted with the
// stamp and deleted; the user is told the outcome.
class DocumentJob {
public:
    enum class Outcome { Converted, Failed, Cancelled };

    // Prints the document so that its PostScript ends up at the temporary
    // path; what it returns does not matter, only the file it leaves.
    using Printer = std::function<void(
        const std::string& document, const std::string& pdf, const std::string& temporary)>;

    DocumentJob(InstallationFolders folders, MessageBox& messages, DocumentInterpreter::Pump pump);

    // The route that makes the document's application print; the ready
    // PostScript route unless replaced.
    void setPrinter(Printer printer) { m_print = std::move(printer); }

    Outcome RunConversionJob(
        const std::string& document, const std::string& pdf, const std::string& temporary);

    // The route's printing and the completeness test: 1 complete, -2 not.
    int PrintThroughApplication(
        const std::string& document, const std::string& pdf, const std::string& temporary);

    const gs::ConversionLog& log() const { return m_interpreter.log(); }

private:
    void report(const char* text);

    InstallationFolders m_folders;
    MessageBox& m_messages;
    DocumentInterpreter::Pump m_pump;
    DocumentInterpreter m_interpreter;
    Printer m_print;
};

// The start command once the names have been taken from the fields: the
// checks (a refusal is shown with the caption "Folyant Error"), then the job.
// The names come back trimmed and completed.
enum class StartOutcome { NothingToDo, Refused, Converted, Failed, Cancelled };
struct StartNames;
StartOutcome runStartCommand(StartNames& names, MessageBox& messages, DocumentJob& job);

// A document that is PostScript already, as a printer driver would have made
// it, becomes the temporary file unchanged; anything else prints nothing.
void printReadyPostScript(const std::string& document, const std::string& pdf, const std::string& temporary);

inline constexpr const char* kConverted = "변환이 성공적으로 완료되었습니다.";
inline constexpr const char* kConversionFailed = "변환에 실패하였습니다.";

} // namespace folyant::docconverter
