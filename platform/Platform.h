#pragma once

#include "platform/FileDialogs.h"
#include "platform/MailSystem.h"
#include "platform/MessageBox.h"
#include "platform/Shell.h"
#include "platform/UserProfile.h"

namespace folyant {

// The machine settings belong to the installation, a floor above this one.
class MachineSettings;

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
