#pragma once

namespace folyant::session {

// True when nobody can answer a window: FOLYANT_UNATTENDED=1, or no display.
bool isUnattended();

// Makes Qt draw off screen when the run is unattended. Call before the
// application object exists.
void prepareGuiEnvironment();

} // namespace folyant::session
