#include "converter/core/CMailMessage.h"

#include "converter/core/StringTable.h"
#include "platform/Folders.h"
#include "platform/MailSystem.h"
#include "platform/MessageBox.h"

namespace folyant::converter {

namespace {
// The process's mail program: found by the first message that finds it
// unset, forgotten when any message goes.
std::optional<std::string> g_program;
} // namespace

const std::optional<std::string>& CMailMessage::loadedProgram()
{
    return g_program;
}

CMailMessage::CMailMessage(MailSystem& system, MessageBox& messages)
    : m_system(system)
    , m_messages(messages)
{
    m_message.originator = &m_originator;
    if (g_program)
        return;
    std::string program;
    switch (m_system.locate(program)) {
    case MailSystem::Found::Usable:
        g_program = program;
        break;
    case MailSystem::Found::Missing:
        m_messages.show(loadString(strings::kMailNotLoaded));
        m_status = kNotLoaded;
        break;
    case MailSystem::Found::NotUsable:
        m_messages.show(loadString(strings::kMailNotUsable));
        m_status = kNoSendEntry;
        break;
    }
}

CMailMessage::~CMailMessage()
{
    g_program.reset();
}

bool CMailMessage::AddAttachment(const std::string& path, const char* displayName)
{
    MapiFileDesc file;
    file.pathName = path;
    if (displayName)
        file.fileName = displayName;
    m_message.files.push_back(std::move(file));
    return true;
}

bool CMailMessage::Send(unsigned long /*flags*/)
{
    if (m_status != kUsable || !g_program)
        return false;

    // Every attachment sits on a blank of its own at the end of the body.
    const long start = static_cast<long>(m_note.size());
    for (std::size_t i = 0; i < m_message.files.size(); ++i) {
        m_note += ' ';
        m_message.files[i].nPosition = start + static_cast<long>(i);
    }
    m_message.noteText = m_note;

    MailSystem::Message message;
    message.subject = m_message.subject;
    message.body = m_message.noteText;
    for (const MapiFileDesc& file : m_message.files)
        message.attachments.push_back(file.pathName);

    if (onModal)
        onModal(true);
    const int result = m_system.send(*g_program, message);
    if (onModal)
        onModal(false);

    for (MapiFileDesc& file : m_message.files) {
        file.pathName.clear();
        file.fileName.reset();
    }

    switch (result) {
    case MailSystem::kSuccess:
    case MailSystem::kUserAbort:
    case MailSystem::kLoginFailure:
        return true;
    default:
        m_messages.show(loadString(strings::kMailFailed));
        return false;
    }
}

std::string mailSubjectFor(const std::string& pdfPath)
{
    return folders::titleOf(pdfPath);
}

} // namespace folyant::converter
