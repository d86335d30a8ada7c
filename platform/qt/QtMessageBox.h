#pragma once

#include "platform/MessageBox.h"

namespace folyant {

// Message boxes with the program's caption; in an unattended run the text goes
// to standard error as "CAPTION: TEXT" and the default answer is taken.
class QtMessageBox final : public MessageBox {
public:
    QtMessageBox(std::string programCaption, bool unattended);

    MessageAnswer show(const std::string& text, MessageButtons buttons, MessageIcon icon,
        MessageAnswer defaultAnswer, const std::string& caption) override;

private:
    std::string m_caption;
    bool m_unattended;
    StandardErrorMessages m_standardError;
};

} // namespace folyant
