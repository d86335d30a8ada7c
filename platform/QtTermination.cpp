#include "platform/QtTermination.h"

#include "platform/TerminationWatch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <utility>

namespace folyant {

void deliverTerminationRequests(TerminationWatch& watch, QObject& window, std::function<void()> onRequest)
{
    // Posted to the application, which outlives every window, and looked at
    // on its thread: the window or the watch may be gone first, either way.
    watch.setRequestHandler([window = QPointer<QObject>(&window), onRequest = std::move(onRequest)] {
        if (QCoreApplication* application = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                application,
                [window, onRequest] {
                    if (window)
                        onRequest();
                },
                Qt::QueuedConnection);
    });
}

} // namespace folyant
