#pragma once

#include <string>

namespace folyant {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question, Warning, Stop };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// A message to the user that waits for an answer. Unattended runs must not
// wait: they report the text and take defaultAnswer.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual MessageAnswer show(const std::string& text, MessageButtons buttons = MessageButtons::Ok,
        MessageIcon icon = MessageIcon::None, MessageAnswer defaultAnswer = MessageAnswer::Ok,
        const std::string& caption = {})
        = 0;
};

// The messages of a run without a window: "CAPTION: TEXT" on standard error
// (a print job's log), and the default answer taken.
class StandardErrorMessages final : public MessageBox {
public:
    // Set to 1 in a run the print system logs: every line is then an
    // "ERROR:" line of the job's log.
    static constexpr const char* kPrintSystemLog = "FOLYANT_CUPS_LOG";

    explicit StandardErrorMessages(std::string programCaption);

    MessageAnswer show(const std::string& text, MessageButtons buttons, MessageIcon icon,
        MessageAnswer defaultAnswer, const std::string& caption) override;

private:
    std::string m_caption;
    std::string m_linePrefix;
};

} // namespace folyant
