#pragma once

#include "FileDialogs.h"
#include "MachineSettings.h"
#include "MailSystem.h"
#include "MessageBox.h"
#include "Shell.h"
#include "UserProfile.h"

namespace folyant {

// The stand-ins for the operating system that a program uses, passed to the
// code that needs them so that tests can put recording ones in their place.
struct Platform {
    MachineSettings& machine;
    UserProfile& profile;
    MessageBox& messages;
    Shell& shell;
    MailSystem& mail;
    FileDialogs& files;
    bool unattended = false;
};

} // namespace folyant
