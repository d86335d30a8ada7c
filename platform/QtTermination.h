#pragma once

#include <functional>

class QObject;

namespace folyant {

class TerminationWatch;

// Passes the watch's termination requests to a window's own thread, where
// onRequest runs, for as long as the window lives.
void deliverTerminationRequests(TerminationWatch& watch, QObject& window, std::function<void()> onRequest);

} // namespace folyant
