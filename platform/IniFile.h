#pragma once

#include <QVariant>

#include <optional>
#include <string>

namespace folyant::ini {

// Small helpers over QSettings' INI format that report failure instead of
// silently keeping an in-memory copy.
std::optional<QVariant> read(const std::string& path, const QString& group, const std::string& name);
bool write(const std::string& path, const QString& group, const std::string& name, const QVariant& value);

} // namespace folyant::ini
