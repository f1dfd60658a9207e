// The Qt application object that fonts, text drawing and printer queries
// need. Tools and tests without a window call EnsureGuiApplication first.
#pragma once

namespace platform {

// Creates a QGuiApplication if none exists yet. Without a display
// (no DISPLAY / WAYLAND_DISPLAY) and QT_QPA_PLATFORM unset, the offscreen
// platform is chosen. False when a non-GUI application object is already
// running (fonts are unavailable then).
bool EnsureGuiApplication();

}  // namespace platform
