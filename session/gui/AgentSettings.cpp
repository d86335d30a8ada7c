#include "session/gui/AgentSettings.h"

#include <QSettings>

namespace folyant::session {

AgentSettings AgentSettings::load()
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorvale"),
        QStringLiteral("folyant-session"));
    settings.beginGroup(QStringLiteral("Settings"));
    AgentSettings loaded;
    loaded.askEachTime = settings.value(QStringLiteral("AskName"), 1).toInt() != 0;
    loaded.lastFolder = settings.value(QStringLiteral("LastFolder")).toString();
    loaded.quality = settings.value(QStringLiteral("Quality"), -1).toInt();
    if (loaded.quality < -1 || loaded.quality > 2)
        loaded.quality = -1;
    loaded.openAfterSaving = settings.value(QStringLiteral("OpenAfterSaving"), 0).toInt() != 0;
    return loaded;
}

void AgentSettings::save() const
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quorvale"),
        QStringLiteral("folyant-session"));
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QStringLiteral("AskName"), askEachTime ? 1 : 0);
    settings.setValue(QStringLiteral("LastFolder"), lastFolder);
    settings.setValue(QStringLiteral("Quality"), quality);
    settings.setValue(QStringLiteral("OpenAfterSaving"), openAfterSaving ? 1 : 0);
}

} // namespace folyant::session
