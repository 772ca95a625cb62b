// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up order and its two failure branches, recorded through the steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/startup.h"

namespace vemol {
namespace {

struct RecordedSteps : StartupSteps {
    std::vector<std::string> log;
    bool deviceWorks = true, objectsWork = true;

    void CreateMainWindow() override { log.push_back("window"); }
    void ReadBestScore() override { log.push_back("best score"); }
    bool InitDevice() override {
        log.push_back("device");
        return deviceWorks;
    }
    void ShowMainWindow() override { log.push_back("show"); }
    void StartAudio() override { log.push_back("audio"); }
    void PlayOpeningMovie() override { log.push_back("movie"); }
    bool CreateDeviceObjects() override {
        log.push_back("objects");
        return objectsWork;
    }
    void RunMainLoop() override { log.push_back("loop"); }
    void FinalCleanUp() override { log.push_back("clean-up"); }
};

TEST(Startup, RunsEveryStepInOrder) {
    RecordedSteps steps;
    EXPECT_EQ(RunProgram(steps), 0);
    const std::vector<std::string> expected = {"window", "best score", "device", "show",    "audio",
                                               "movie",  "objects",    "loop",   "clean-up"};
    EXPECT_EQ(steps.log, expected);
}

TEST(Startup, ADeviceFailureNeverShowsTheWindowNorStartsAudioOrTheMovie) {
    RecordedSteps steps;
    steps.deviceWorks = false;
    EXPECT_EQ(RunProgram(steps), 0);
    const std::vector<std::string> expected = {"window", "best score", "device", "clean-up"};
    EXPECT_EQ(steps.log, expected);
}

TEST(Startup, ADeviceObjectsFailureCleansUpWithoutRunningTheLoop) {
    RecordedSteps steps;
    steps.objectsWork = false;
    EXPECT_EQ(RunProgram(steps), 0);
    const std::vector<std::string> expected = {"window", "best score", "device",  "show",
                                               "audio",  "movie",      "objects", "clean-up"};
    EXPECT_EQ(steps.log, expected);
}

}  // namespace
}  // namespace vemol
