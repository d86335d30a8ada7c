#pragma once

#include <QString>

namespace folyant::session {

// The agent's own settings, in the user's profile
// ("$XDG_CONFIG_HOME/Quorvale/folyant-session.conf", group Settings). Read
// afresh for every job, so that a change in the settings dialog counts from
// the next one.
struct AgentSettings {
    bool askEachTime = true; // "AskName": the save dialog for every job
    QString lastFolder; // "LastFolder": where the last PDF was saved
    int quality = -1; // "Quality": -1 leaves the converter's own setting
    bool openAfterSaving = false; // "OpenAfterSaving"

    static AgentSettings load();
    void save() const;
};

} // namespace folyant::session
