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

} // namespace folyant
