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
    // Remembers the user's choice as it stands, "no choice of one's own"
    // included, in a record that outlives the run, so that a run that was
    // killed is put right by the next one (recover). False when the choice
    // cannot be changed safely or the record cannot be kept: the switch must
    // then not be made.
    virtual bool save() = 0;
    // Makes queue the user's default; false unless that was stored and reads
    // back as stored.
    virtual bool makeDefault(const std::string& queue) = 0;
    // Puts the remembered choice back and drops the record; false when that
    // failed (the record then stays for the next run).
    virtual bool restore() = 0;
    // Puts back a choice that a run which ended without restoring left on
    // record; nothing when there is none. Called with no other job running.
    virtual void recover() = 0;
};

// CUPS: the queues of the print system, and the user's lpoptions
// (~/.cups/lpoptions, root's too; without a home the print system's own, in
// CUPS_SERVERROOT or /etc/cups). The choice is saved and restored as the file
// itself; its record lies beside it (lpoptions.folyant-saved). A choices file
// that is a symbolic link is never written through nor replaced.
class CupsDefaultDestination final : public DefaultDestination {
public:
    bool exists(const std::string& queue) override;
    bool save() override;
    bool makeDefault(const std::string& queue) override;
    bool restore() override;
    void recover() override;

    static std::string choicesFile();
    static std::string recordFile() { return choicesFile() + ".folyant-saved"; }

private:
    std::string m_path;
    std::optional<std::string> m_content;
};

} // namespace folyant
