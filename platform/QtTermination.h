#pragma once

#include <functional>

class QObject;

namespace folyant {

class TerminationWatch;

// Passes the watch's termination requests to the application's thread, where
// onRequest runs while the window lives.
void deliverTerminationRequests(TerminationWatch& watch, QObject& window, std::function<void()> onRequest);

} // namespace folyant
