#pragma once
// The connection to the desktop's display, made once before any window.
namespace vemol::platform {

// Opens the display and takes the window system's own command-line options out of argv;
// false when there is no display to open. `applicationId` becomes the program's name and
// class (Wayland's app id, X11's WM_CLASS), by which the desktop finds its entry.
bool OpenDisplay(int& argc, char**& argv, const char* applicationId);

}  // namespace vemol::platform
