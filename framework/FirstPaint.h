#pragma once

namespace framework {

// For timing start-up: quits the event loop as soon as a main window has
// painted its first frame. Call before the event loop starts.
void QuitAfterFirstPaint();

} // namespace framework
