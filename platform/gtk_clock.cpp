#include "platform/gtk_clock.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace vemol::platform {

GtkClock::GtkClock(std::function<void(bool)> setDeaf)
    : startUs_(g_get_monotonic_time()), setDeaf_(std::move(setDeaf)) {}

float GtkClock::now() { return static_cast<float>(static_cast<double>(g_get_monotonic_time() - startUs_) * 1e-6); }

void GtkClock::sleep(float seconds) {
    const bool outermost = !sleeping_;
    sleeping_ = true;
    if (outermost && setDeaf_) setDeaf_(true);
    const std::int64_t deadline = g_get_monotonic_time() + static_cast<std::int64_t>(seconds * 1e6);
    for (;;) {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        const std::int64_t left = deadline - g_get_monotonic_time();
        if (left <= 0) break;
        g_usleep(static_cast<gulong>(std::min<std::int64_t>(left, 4000)));
    }
    if (outermost) {
        sleeping_ = false;
        if (setDeaf_) setDeaf_(false);
    }
}

}  // namespace vemol::platform
