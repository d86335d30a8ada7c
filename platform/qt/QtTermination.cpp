#include "platform/qt/QtTermination.h"

#include "platform/TerminationWatch.h"

#include <memory>
#include <utility>

namespace folyant {

void deliverTerminationRequests(TerminationWatch& watch, QObject& window, std::function<void()> onRequest)
{
    // Owned by the handler: it lives as long as the watch can call it.
    auto relay = std::make_shared<TerminationRelay>();
    QObject::connect(
        relay.get(), &TerminationRelay::requested, &window, std::move(onRequest), Qt::QueuedConnection);
    watch.setRequestHandler([relay] { emit relay->requested(); });
}

} // namespace folyant
