// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The start-up sequence in its fixed order, with its two failure branches, and the final
// clean-up. The steps themselves are the application's; keeping the order here lets a
// test record it.
namespace vemol {

class StartupSteps {
public:
    virtual ~StartupSteps() = default;
    virtual void CreateMainWindow() = 0;  // the window, its menu bar and movie area, hidden
    virtual void ReadBestScore() = 0;
    virtual bool InitDevice() = 0;  // false: its message was shown
    virtual void ShowMainWindow() = 0;
    virtual void StartAudio() = 0;  // engine and sounds; failures leave the game silent
    virtual void PlayOpeningMovie() = 0;
    virtual bool CreateDeviceObjects() = 0;  // false: its message was shown
    virtual void RunMainLoop() = 0;
    virtual void FinalCleanUp() = 0;
};

// Runs the whole program's life; the exit code is 0 on every path.
int RunProgram(StartupSteps& steps);

}  // namespace vemol
