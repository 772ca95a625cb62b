// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/startup.h"

namespace vemol {

int RunProgram(StartupSteps& steps) {
    steps.CreateMainWindow();
    steps.ReadBestScore();
    if (steps.InitDevice()) {
        steps.ShowMainWindow();
        steps.StartAudio();
        steps.PlayOpeningMovie();
        if (steps.CreateDeviceObjects()) steps.RunMainLoop();
    }
    steps.FinalCleanUp();
    return 0;
}

}  // namespace vemol
