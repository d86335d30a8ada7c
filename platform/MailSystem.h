#pragma once

#include <optional>
#include <string>
#include <vector>

namespace folyant {

// The desktop's mail program, which opens a compose window for a message.
// Finding the program stands where loading the mail library stands.
class MailSystem {
public:
    enum class Found { Usable, Missing, NotUsable };

    // Result codes of a hand-off, numbered as the mail interface numbers them.
    static constexpr int kSuccess = 0;
    static constexpr int kUserAbort = 1;
    static constexpr int kFailure = 2;
    static constexpr int kLoginFailure = 3;

    struct Message {
        std::string subject;
        std::string body;
        std::vector<std::string> attachments; // full paths
    };

    virtual ~MailSystem() = default;
    // Where the program is, and whether it can be run.
    virtual Found locate(std::string& program) = 0;
    // Hands the message to the program and waits for it to return.
    virtual int send(const std::string& program, const Message& message) = 0;
};

// xdg-email, found on PATH. A program that exits 0 has taken the message; one
// that was ended by a signal (the user closed it) counts as cancelled; any
// other end is a failure.
class XdgEmail final : public MailSystem {
public:
    Found locate(std::string& program) override;
    int send(const std::string& program, const Message& message) override;

    // The xdg-email argument vector for a message.
    static std::vector<std::string> arguments(const Message& message);
};

} // namespace folyant
