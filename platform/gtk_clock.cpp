#include "platform/gtk_clock.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace vemol::platform {
namespace {

constexpr std::int64_t kStepUs = 4000;  // how long the window waits between looks at the desktop

}  // namespace

GtkClock::GtkClock(std::function<void(bool)> setDeaf)
    : startUs_(g_get_monotonic_time()), setDeaf_(std::move(setDeaf)) {}

float GtkClock::now() { return static_cast<float>(static_cast<double>(g_get_monotonic_time() - startUs_) * 1e-6); }

void GtkClock::sleep(float seconds) {
    const std::int64_t deadline = g_get_monotonic_time() + static_cast<std::int64_t>(seconds * 1e6);
    answerWhile([deadline] { return deadline - g_get_monotonic_time(); });
}

void GtkClock::waitUntil(const std::function<bool()>& finished) {
    answerWhile([&finished]() -> std::int64_t { return finished() ? 0 : kStepUs; });
}

void GtkClock::answerWhile(const std::function<std::int64_t()>& left) {
    const bool outermost = !sleeping_;
    sleeping_ = true;
    if (outermost && setDeaf_) setDeaf_(true);
    for (;;) {
        while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
        const std::int64_t remaining = left();
        if (remaining <= 0) break;
        g_usleep(static_cast<gulong>(std::min(remaining, kStepUs)));
    }
    if (outermost) {
        sleeping_ = false;
        if (setDeaf_) setDeaf_(false);
    }
}

}  // namespace vemol::platform
