#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace folyant {
class MailSystem;
class MessageBox;
} // namespace folyant

namespace folyant::converter {

// The parts of a mail message as the mail interface describes them.
struct MapiRecipDesc {
    unsigned long ulRecipClass = 0;
    std::string name;
    std::string address;
};

struct MapiFileDesc {
    unsigned long flFlags = 0;
    long nPosition = 0;
    std::string pathName;
    std::optional<std::string> fileName;
};

struct MapiMessage {
    std::string subject;
    std::string noteText;
    unsigned long flFlags = 0;
    const MapiRecipDesc* originator = nullptr;
    std::vector<MapiRecipDesc> recips;
    std::vector<MapiFileDesc> files;
};

inline constexpr unsigned long MAPI_LOGON_UI = 0x1;
inline constexpr unsigned long MAPI_DIALOG = 0x8;

// One outgoing message, handed to the desktop's mail program, where the user
// adds the recipients and sends it. The mail program is found once per
// process by the first message that needs it and forgotten again when any
// message is destroyed, so that the next hand-off looks for it anew.
class CMailMessage {
public:
    enum Status { kUsable = 0, kNotLoaded = 1, kNoSendEntry = 2, kNoMemory = 5 };

    // Shows the prompt for a missing (61840) or unusable (61841) program.
    CMailMessage(MailSystem& system, MessageBox& messages);
    ~CMailMessage();

    CMailMessage(const CMailMessage&) = delete;
    CMailMessage& operator=(const CMailMessage&) = delete;

    bool AddAttachment(const std::string& path, const char* displayName = nullptr);

    // Hands the message over and waits for the mail program. True for a
    // message taken, cancelled or refused at logon; false with the prompt
    // 61842 for any other failure, and false without calling anything when
    // no usable program was found.
    bool Send(unsigned long flags);

    // Called with true before the mail program runs and false after it, so
    // that the caller can disable and restore its windows.
    std::function<void(bool)> onModal;

    MapiMessage m_message;
    MapiRecipDesc m_originator;
    int m_status = kUsable;
    std::string m_note;

    // The program in use, while a message holds it.
    static const std::optional<std::string>& loadedProgram();

private:
    MailSystem& m_system;
    MessageBox& m_messages;
};

// The subject for a PDF: its file name without folder and last extension.
std::string mailSubjectFor(const std::string& pdfPath);

} // namespace folyant::converter
