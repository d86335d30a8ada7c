#include "installation/InstallationFolders.h"

#include "installation/MachineSettings.h"
#include "platform/Folders.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <utility>

namespace folyant {

InstallationFolders installedFolders()
{
    InstallationFolders installed{{}, FOLYANT_GS_FONT_FOLDER};
    if (const std::string bin = folders::programFolder(); !bin.empty())
        installed.libFolder = folders::folderOf(bin) + "/share/folyant/lib";
    return installed;
}

bool namesAes256(std::string_view text)
{
    const std::string_view aes = installation::kAes256;
    return text.size() == aes.size() && std::equal(text.begin(), text.end(), aes.begin(), [](char a, char b) {
        return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
    });
}

std::string protectionEncryption(const MachineSettings& machine)
{
    const auto value = machine.readString(installation::kEncryption, installation::kValueBuffer);
    return value && namesAes256(*value) ? installation::kAes256 : installation::kRc4Bits40;
}

InstallationFolders readInstallationFolders(const MachineSettings& machine, MessageBox& messages,
    const InstallationFolders& fallback, const std::string& caption)
{
    const auto complain = [&] {
        if (caption.empty())
            messages.show(installation::kInvalidInstallation);
        else
            messages.show(installation::kInvalidInstallation, MessageButtons::Ok, MessageIcon::Stop,
                MessageAnswer::Ok, caption);
    };
    if (!machine.isAvailable())
        complain();
    InstallationFolders folders = fallback;
    for (auto [name, folder] : {std::pair{installation::kLibPath, &folders.libFolder},
             std::pair{installation::kFontPath, &folders.fontFolder}}) {
        if (auto value = machine.readString(name, installation::kValueBuffer))
            *folder = std::move(*value);
        else
            complain();
    }
    return folders;
}

void writeInstallationFolders(
    MachineSettings& machine, MessageBox& messages, const InstallationFolders& folders)
{
    for (const auto& [name, value] : {std::pair{installation::kLibPath, &folders.libFolder},
             std::pair{installation::kFontPath, &folders.fontFolder}}) {
        if (value->size() > installation::kValueBuffer || !machine.writeString(name, *value))
            messages.show(installation::kInvalidInstallation);
    }
}

} // namespace folyant
