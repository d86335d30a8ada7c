#pragma once

#include <string>

namespace folyant {

// A program's per-user settings: whole numbers under one program's name.
class UserProfile {
public:
    virtual ~UserProfile() = default;
    virtual int getInt(const std::string& name, int defaultValue) const = 0;
    virtual bool writeInt(const std::string& name, int value) = 0;
};

// "$XDG_CONFIG_HOME/Quorvale/PROGRAM.conf", group Settings.
class IniUserProfile final : public UserProfile {
public:
    explicit IniUserProfile(const std::string& programName);

    static std::string pathFor(const std::string& programName);
    const std::string& path() const { return m_path; }

    int getInt(const std::string& name, int defaultValue) const override;
    bool writeInt(const std::string& name, int value) override;

private:
    std::string m_path;
};

} // namespace folyant
