// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/test_control.h"

#ifdef VEMOL_TEST_HOOKS
#include <SDL2/SDL.h>
#include <fcntl.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#endif

namespace vemol::platform {

#ifdef VEMOL_TEST_HOOKS
namespace {

constexpr guint kReadMs = 10;

class FileTestControl : public TestControl {
public:
    FileTestControl(MainWindow& window, int fd) : window_(window), fd_(fd) {
        timer_ = g_timeout_add(
            kReadMs,
            +[](gpointer self) {
                static_cast<FileTestControl*>(self)->readCommands();
                return gboolean(G_SOURCE_CONTINUE);
            },
            this);
    }
    ~FileTestControl() override {
        g_source_remove(timer_);
        if (idle_) g_source_remove(idle_);
        unplug();
        ::close(fd_);
    }

private:
    void readCommands() {
        char chunk[256];
        ssize_t n;
        while ((n = ::read(fd_, chunk, sizeof chunk)) > 0) pending_.append(chunk, std::size_t(n));
        for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
            const std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            run(line);
        }
    }

    void run(const std::string& line) {
        std::istringstream words(line);
        std::string verb, name;
        int value = 0;
        words >> verb >> name >> value;
        if (verb == "plug")
            plug();
        else if (verb == "unplug")
            unplug();
        else if (verb == "button" && pad_)
            SDL_JoystickSetVirtualButton(pad_, SDL_GameControllerGetButtonFromString(name.c_str()), Uint8(value != 0));
        else if (verb == "axis" && pad_)
            SDL_JoystickSetVirtualAxis(pad_, SDL_GameControllerGetAxisFromString(name.c_str()), Sint16(value));
        else if (verb == "close")
            window_.close();
        else if (verb == "menu")
            chooseLater(std::atoi(name.c_str()));
        else if (verb == "default")
            pressDefaultButton();
        else
            std::fprintf(stderr, "vemol: test control: cannot do '%s'\n", line.c_str());
    }

    // A virtual pad with the game controller's full set of buttons and axes, which SDL
    // maps in the order of its own button and axis names.
    void plug() {
        if (pad_) return;
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                    SDL_CONTROLLER_BUTTON_MAX, 0);
        if (index >= 0) pad_ = SDL_JoystickOpen(index);
        if (!pad_) std::fprintf(stderr, "vemol: test control: no virtual pad: %s\n", SDL_GetError());
    }

    void unplug() {
        if (!pad_) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(pad_);
        SDL_JoystickClose(pad_);
        pad_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }

    // From GLib's main loop rather than from inside this reader: a command may open a
    // modal dialog, whose loop must find the reader free to take the next commands.
    void chooseLater(int command) {
        command_ = command;
        if (!idle_)
            idle_ = g_idle_add(
                +[](gpointer self) {
                    auto* control = static_cast<FileTestControl*>(self);
                    control->idle_ = 0;
                    control->window_.chooseCommand(control->command_);
                    return gboolean(G_SOURCE_REMOVE);
                },
                this);
    }

    // The open modal dialog's default button, as Enter presses it.
    void pressDefaultButton() {
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w; w = w->next) {
            GtkWindow* dialog = GTK_WINDOW(w->data);
            const bool openDialog = dialog != window_.window() && gtk_window_get_modal(dialog) &&
                                    gtk_widget_get_visible(GTK_WIDGET(dialog));
            if (openDialog) gtk_window_activate_default(dialog);
        }
        g_list_free(windows);
    }

    MainWindow& window_;
    int fd_;
    guint timer_ = 0;
    std::string pending_;
    int command_ = 0;
    guint idle_ = 0;
    SDL_Joystick* pad_ = nullptr;
};

}  // namespace

std::unique_ptr<TestControl> StartTestControl(MainWindow& window) {
    const char* path = std::getenv("VEMOL_TEST_CONTROL");
    if (!path || !*path) return nullptr;
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "vemol: test control: cannot open %s\n", path);
        return nullptr;
    }
    return std::make_unique<FileTestControl>(window, fd);
}

#else

std::unique_ptr<TestControl> StartTestControl(MainWindow&) { return nullptr; }

#endif

}  // namespace vemol::platform
