#include "platform/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace folyant::ini {

namespace {
QString keyFor(const QString& group, const std::string& name)
{
    const QString key = QString::fromStdString(name);
    return group.isEmpty() ? key : group + QLatin1Char('/') + key;
}
} // namespace

std::optional<QVariant> read(const std::string& path, const QString& group, const std::string& name)
{
    const QString file = QString::fromStdString(path);
    if (!QFileInfo(file).isReadable())
        return std::nullopt;
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return std::nullopt;
    const QVariant value = settings.value(keyFor(group, name));
    if (!value.isValid())
        return std::nullopt;
    return value;
}

bool write(const std::string& path, const QString& group, const std::string& name, const QVariant& value)
{
    return write(path, group, {{name.c_str(), value}});
}

bool write(const std::string& path, const QString& group,
    std::initializer_list<std::pair<const char*, QVariant>> values)
{
    const QString file = QString::fromStdString(path);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QSettings settings(file, QSettings::IniFormat);
    for (const auto& [name, value] : values)
        settings.setValue(keyFor(group, name), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace folyant::ini
