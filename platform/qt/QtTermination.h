#pragma once

#include <QObject>

#include <functional>

namespace folyant {

class TerminationWatch;

// A signal emitted on the watch's thread reaches the window on its own
// thread, queued, and not at all once the window is gone.
class TerminationRelay final : public QObject {
    Q_OBJECT
signals:
    void requested();
};

// Passes the watch's termination requests to the application's thread, where
// onRequest runs while the window lives.
void deliverTerminationRequests(TerminationWatch& watch, QObject& window, std::function<void()> onRequest);

} // namespace folyant
