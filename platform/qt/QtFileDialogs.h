#pragma once

#include "platform/FileDialogs.h"

class QWidget;

namespace folyant {

// Qt's file dialogs, owned by a window.
class QtFileDialogs final : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }
    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<std::string> openFile(const std::string& filter) override;
    std::optional<std::string> saveFile(const std::string& proposedName, const std::string& defaultSuffix,
        const std::string& filter) override;

private:
    QWidget* m_owner;
};

} // namespace folyant
