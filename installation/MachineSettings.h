#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace folyant {

// The installation's settings, shared by every program of the suite and
// written only by the installer and the folders dialog.
class MachineSettings {
public:
    virtual ~MachineSettings() = default;

    // False when the settings cannot be opened at all (absent or unreadable).
    virtual bool isAvailable() const = 0;

    // A text value, or nothing when the settings or the value are absent, or
    // when the value needs more than bufferBytes bytes with its terminator.
    virtual std::optional<std::string> readString(const std::string& name, std::size_t bufferBytes) const = 0;
    virtual std::optional<int> readInt(const std::string& name) const = 0;

    // False when the value could not be stored durably.
    virtual bool writeString(const std::string& name, const std::string& value) = 0;
    virtual bool writeInt(const std::string& name, int value) = 0;
};

// The settings file "Quorvale/Folyant Velmo.conf" under $FOLYANT_SYSCONFDIR, else
// under the sysconfdir of the installation the program was built for.
class IniMachineSettings final : public MachineSettings {
public:
    explicit IniMachineSettings(std::string path = defaultPath());

    static std::string defaultPath();
    const std::string& path() const { return m_path; }

    bool isAvailable() const override;
    std::optional<std::string> readString(const std::string& name, std::size_t bufferBytes) const override;
    std::optional<int> readInt(const std::string& name) const override;
    bool writeString(const std::string& name, const std::string& value) override;
    bool writeInt(const std::string& name, int value) override;

private:
    std::string m_path;
};

} // namespace folyant
