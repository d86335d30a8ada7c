#pragma once

namespace folyant::session {

// True when nobody can answer a window: FOLYANT_UNATTENDED=1, or no display.
bool isUnattended();

} // namespace folyant::session
