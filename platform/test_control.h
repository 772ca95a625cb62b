// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test hook, compiled only into builds configured for tests: the end-to-end tests drive
// the running game through a command file named by VEMOL_TEST_CONTROL, one command a line,
// appended while the game runs:
//   plug | unplug                   a virtual game pad (SDL's virtual joystick) comes or goes
//   button <name> 1|0               presses or releases its button (SDL names: a, start, back, dpleft, ...)
//   axis <name> <value>             moves its axis (leftx, lefty; -32768..32767)
//   close                           asks the main window to close, as its close box does
//   menu <command>                  chooses a menu command (40004 is Help > Version)
//   default                         presses the open dialog's default button, as Enter does
// The pad's input then takes the real path: SDL's events, the game pads' mapping, the key table.
#include <memory>

#include "platform/main_window.h"

namespace vemol::platform {

class TestControl {
public:
    virtual ~TestControl() = default;
};

// Null unless this is a test build and VEMOL_TEST_CONTROL names a file.
std::unique_ptr<TestControl> StartTestControl(MainWindow& window);

}  // namespace vemol::platform
