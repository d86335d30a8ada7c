#pragma once

#include <optional>
#include <string>

namespace folyant {

// The user's default printer: the print system's queues and the user's own
// choice among them, which a job may change and must put back exactly.
class DefaultDestination {
public:
    virtual ~DefaultDestination() = default;
    // Whether the print system has a queue of that name.
    virtual bool exists(const std::string& queue) = 0;
    // Remembers the user's choice as it stands, "no choice of one's own" included.
    virtual void save() = 0;
    // Makes queue the user's default; false when that could not be stored.
    virtual bool makeDefault(const std::string& queue) = 0;
    // Puts the remembered choice back; false when that failed.
    virtual bool restore() = 0;
};

// CUPS: the queues of the print system, and the user's lpoptions
// (~/.cups/lpoptions, root's too; without a home the print system's own, in
// CUPS_SERVERROOT or /etc/cups). The choice is saved and restored as the file
// itself.
class CupsDefaultDestination final : public DefaultDestination {
public:
    bool exists(const std::string& queue) override;
    void save() override;
    bool makeDefault(const std::string& queue) override;
    bool restore() override;

    static std::string choicesFile();

private:
    std::string m_path;
    std::optional<std::string> m_content;
};

} // namespace folyant
