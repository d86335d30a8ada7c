#pragma once

#include <QMap>
#include <QObject>
#include <QString>

namespace folyant::session {

// Notices on the desktop through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus). Without a bus or a
// service, a notice goes to standard error and nothing else happens.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    // "PDF ready", with actions that open the PDF and its folder.
    void pdfReady(const QString& pdf);
    // A job that gave no PDF, and why.
    void jobFailed(const QString& title, const QString& why);

private slots:
    // Connected by name: the bus knows its signals by their signatures only.
    void onActionInvoked(uint id, const QString& action);

private:
    void notify(const QString& summary, const QString& body, const QStringList& actions, const QString& pdf);

    QMap<uint, QString> m_pdfs; // notice id -> its PDF, for its actions
};

} // namespace folyant::session
