#include "platform/Shell.h"

#include <QProcess>
#include <QStringList>

namespace folyant {

bool XdgShell::open(const std::string& path)
{
    // "--" is not understood by xdg-open; an absolute or "./" path keeps a
    // name beginning with "-" from being taken as an option.
    QString target = QString::fromStdString(path);
    if (target.startsWith(QLatin1Char('-')))
        target.prepend(QStringLiteral("./"));
    return QProcess::startDetached(QStringLiteral("xdg-open"), {target});
}

} // namespace folyant
