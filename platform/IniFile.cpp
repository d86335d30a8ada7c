#include "platform/IniFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <algorithm>

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

std::optional<std::string> readString(
    const std::string& path, const QString& group, const std::string& name, std::size_t bufferBytes)
{
    const auto value = read(path, group, name);
    if (!value || !value->canConvert<QString>())
        return std::nullopt;
    std::string text = value->toString().toStdString();
    if (text.size() + 1 > bufferBytes)
        return std::nullopt;
    return text;
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

std::map<std::string, std::string> parseGeneral(std::string_view text)
{
    std::map<std::string, std::string> values;
    bool inGeneral = true;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty() && line.front() == '[') {
            inGeneral = line == "[General]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inGeneral || equals == std::string_view::npos)
            continue;
        const QString key
            = QUrl::fromPercentEncoding(QByteArray(line.data(), static_cast<qsizetype>(equals)));
        std::string_view raw = line.substr(equals + 1);
        std::string value;
        if (!raw.empty() && raw.front() == '"') {
            for (std::size_t i = 1; i < raw.size() && raw[i] != '"'; ++i) {
                if (raw[i] == '\\' && i + 1 < raw.size())
                    ++i;
                value += raw[i];
            }
        } else {
            value = std::string(raw);
        }
        values[key.trimmed().toStdString()] = value;
    }
    return values;
}

} // namespace folyant::ini
