#include "platform/QtTermination.h"

#include "platform/TerminationWatch.h"

#include <QMetaObject>
#include <QObject>

#include <utility>

namespace folyant {

void deliverTerminationRequests(TerminationWatch& watch, QObject& window, std::function<void()> onRequest)
{
    watch.setRequestHandler([&window, onRequest = std::move(onRequest)] {
        QMetaObject::invokeMethod(&window, onRequest, Qt::QueuedConnection);
    });
    QObject::connect(&window, &QObject::destroyed, [&watch] { watch.setRequestHandler({}); });
}

} // namespace folyant
