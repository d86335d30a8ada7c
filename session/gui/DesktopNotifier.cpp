#include "session/gui/DesktopNotifier.h"

#include "platform/Shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QVariantMap>

#include <cstdio>

namespace folyant::session {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
constexpr int kCallTimeoutMilliseconds = 2000;
} // namespace

DesktopNotifier::DesktopNotifier(QObject* parent)
    : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected())
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
            SLOT(onActionInvoked(uint, QString)));
}

void DesktopNotifier::pdfReady(const QString& pdf)
{
    notify(tr("PDF 준비됨"), pdf,
        {QStringLiteral("open"), tr("열기"), QStringLiteral("folder"), tr("폴더 열기")}, pdf);
}

void DesktopNotifier::jobFailed(const QString& title, const QString& why)
{
    notify(tr("PDF를 만들지 못했습니다"), title + QStringLiteral("\n") + why, {}, {});
}

void DesktopNotifier::notify(
    const QString& summary, const QString& body, const QStringList& actions, const QString& pdf)
{
    std::fprintf(stderr, "folyant-session: %s: %s\n", summary.toLocal8Bit().constData(),
        body.toLocal8Bit().constData());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return; // a session without a bus: the line above is all there is
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Folyant Velmo") << 0u << QStringLiteral("application-pdf") << summary
         << body.toHtmlEscaped() << actions << QVariantMap{} << -1;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() && !pdf.isEmpty())
        m_pdfs.insert(reply.arguments().constFirst().toUInt(), pdf);
}

void DesktopNotifier::onActionInvoked(uint id, const QString& action)
{
    const auto found = m_pdfs.constFind(id);
    if (found == m_pdfs.constEnd())
        return;
    XdgShell shell;
    if (action == QStringLiteral("open"))
        shell.open(found->toStdString());
    else if (action == QStringLiteral("folder"))
        shell.open(QFileInfo(*found).absolutePath().toStdString());
}

} // namespace folyant::session
