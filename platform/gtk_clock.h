#pragma once
// The game clock: seconds since the program started as a float, so its precision does
// not decay with the machine's uptime.
#include <glib.h>

#include <functional>

#include "game/services.h"

namespace vemol::platform {

class GtkClock : public Clock {
public:
    // setDeaf switches the window's input off and on around waits.
    explicit GtkClock(std::function<void(bool deaf)> setDeaf);
    float now() override;
    // The original busy-waited and handled no window messages, which today makes the
    // desktop call the window frozen and burns a core. We sleep in short steps and keep
    // the window repainting and answering the desktop, with its input switched off.
    void sleep(float seconds) override;
    // Waits the same way, repainting and deaf, until `finished` says so: for work the
    // game waits on, such as sending a score.
    void waitUntil(const std::function<bool()>& finished);

private:
    // Answers the desktop, deaf, until `left` (microseconds still to wait) reaches 0.
    void answerWhile(const std::function<std::int64_t()>& left);

    std::int64_t startUs_;
    std::function<void(bool)> setDeaf_;
    bool sleeping_ = false;
};

}  // namespace vemol::platform
