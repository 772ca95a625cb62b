// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wayland_picture.h"

#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#endif

namespace vemol::platform {

#ifdef GDK_WINDOWING_WAYLAND
namespace {
constexpr int kBuffers = 3;  // one on screen, one the compositor may still read, one to fill
}

struct WaylandPicture::Parts {
    struct Buffer {
        wl_buffer* buffer = nullptr;
        unsigned char* pixels = nullptr;
        bool busy = false;
        int staleTop = 0, staleBottom = 0;  // rows that lag behind the picture
    };
    GtkWidget* area = nullptr;
    int width = 0, height = 0;
    wl_display* display = nullptr;
    wl_event_queue* queue = nullptr;
    wl_registry* registry = nullptr;
    wl_shm* shm = nullptr;
    wl_subcompositor* subcompositor = nullptr;
    wl_surface* surface = nullptr;
    wl_subsurface* subsurface = nullptr;
    void* memory = MAP_FAILED;
    std::size_t bytes = 0;
    Buffer buffers[kBuffers];
    bool shown = false;
    int x = -1, y = -1;

    ~Parts() {
        for (Buffer& b : buffers)
            if (b.buffer) wl_buffer_destroy(b.buffer);
        if (subsurface) wl_subsurface_destroy(subsurface);
        if (surface) wl_surface_destroy(surface);
        if (subcompositor) wl_subcompositor_destroy(subcompositor);
        if (shm) wl_shm_destroy(shm);
        if (registry) wl_registry_destroy(registry);
        if (memory != MAP_FAILED) munmap(memory, bytes);
        if (display) wl_display_flush(display);
        if (queue) wl_event_queue_destroy(queue);
    }

    bool bindGlobals();
    bool makeBuffers();
    Buffer* freeBuffer();
};

namespace {

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* p = static_cast<WaylandPicture::Parts*>(data);
    if (std::strcmp(interface, wl_shm_interface.name) == 0)
        p->shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    else if (std::strcmp(interface, wl_subcompositor_interface.name) == 0)
        p->subcompositor =
            static_cast<wl_subcompositor*>(wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void OnRelease(void* data, wl_buffer*) { static_cast<WaylandPicture::Parts::Buffer*>(data)->busy = false; }
const wl_buffer_listener kBufferListener = {OnRelease};

// Where the area's window lies in the top-level window's surface.
void AreaOrigin(GtkWidget* area, int& x, int& y) {
    x = y = 0;
    GdkWindow* window = gtk_widget_get_window(area);
    for (; window && gdk_window_get_parent(window) && gdk_window_get_window_type(window) == GDK_WINDOW_CHILD;
         window = gdk_window_get_parent(window)) {
        int wx = 0, wy = 0;
        gdk_window_get_position(window, &wx, &wy);
        x += wx;
        y += wy;
    }
}

}  // namespace

// Our own event queue, so the buffers' releases are read here and never by GTK's handlers.
bool WaylandPicture::Parts::bindGlobals() {
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    wl_registry_add_listener(registry, &kRegistryListener, this);
    return wl_display_roundtrip_queue(display, queue) >= 0 && shm && subcompositor;
}

bool WaylandPicture::Parts::makeBuffers() {
    const int stride = width * 4;
    const std::size_t one = static_cast<std::size_t>(stride) * height;
    bytes = one * kBuffers;
    const int fd = memfd_create("vemol-picture", MFD_CLOEXEC);
    if (fd < 0) return false;
    if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
        close(fd);
        return false;
    }
    memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (memory == MAP_FAILED) {
        close(fd);
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(bytes));
    for (int i = 0; i < kBuffers; i++) {
        Buffer& b = buffers[i];
        b.buffer = wl_shm_pool_create_buffer(pool, static_cast<int32_t>(one * i), width, height, stride,
                                             WL_SHM_FORMAT_XRGB8888);
        b.pixels = static_cast<unsigned char*>(memory) + one * i;
        b.staleTop = 0;
        b.staleBottom = height;
        wl_buffer_add_listener(b.buffer, &kBufferListener, &b);
    }
    wl_shm_pool_destroy(pool);
    close(fd);
    return true;
}

WaylandPicture::Parts::Buffer* WaylandPicture::Parts::freeBuffer() {
    wl_display_dispatch_queue_pending(display, queue);
    for (Buffer& b : buffers)
        if (!b.busy) return &b;
    // All held: hear the compositor out once (it answers within its frame).
    if (wl_display_roundtrip_queue(display, queue) < 0) return nullptr;
    for (Buffer& b : buffers)
        if (!b.busy) return &b;
    return nullptr;
}

std::unique_ptr<WaylandPicture> WaylandPicture::Create(GtkWidget* area, int width, int height) {
    GdkWindow* window = gtk_widget_get_window(area);
    if (!window || !GDK_IS_WAYLAND_WINDOW(window)) return nullptr;
    auto p = std::make_unique<Parts>();
    p->area = area;
    p->width = width;
    p->height = height;
    GdkDisplay* gdkDisplay = gdk_window_get_display(window);
    p->display = gdk_wayland_display_get_wl_display(gdkDisplay);
    wl_surface* parent = gdk_wayland_window_get_wl_surface(gdk_window_get_toplevel(window));
    wl_compositor* compositor = gdk_wayland_display_get_wl_compositor(gdkDisplay);
    if (!p->display || !parent || !compositor) return nullptr;
    p->queue = wl_display_create_queue(p->display);
    if (!p->bindGlobals() || !p->makeBuffers()) return nullptr;
    p->surface = wl_compositor_create_surface(compositor);
    p->subsurface = wl_subcompositor_get_subsurface(p->subcompositor, p->surface, parent);
    wl_subsurface_set_desync(p->subsurface);  // each frame shows on its own commit
    // Input goes to the window underneath, as if this surface were not there.
    wl_region* none = wl_compositor_create_region(compositor);
    wl_surface_set_input_region(p->surface, none);
    wl_region_destroy(none);
    return std::unique_ptr<WaylandPicture>(new WaylandPicture(std::move(p)));
}

bool WaylandPicture::show(cairo_surface_t* frame, int top, int bottom) {
    Parts& p = *parts_;
    if (gtk_widget_get_allocated_width(p.area) != p.width || gtk_widget_get_allocated_height(p.area) != p.height ||
        gtk_widget_get_scale_factor(p.area) != 1 || !gtk_widget_get_mapped(p.area)) {
        hide();
        return false;
    }
    int x = 0, y = 0;
    AreaOrigin(p.area, x, y);
    if (x != p.x || y != p.y) {
        // The place takes effect with the window's next commit: ask GTK for one.
        wl_subsurface_set_position(p.subsurface, x, y);
        p.x = x;
        p.y = y;
        gtk_widget_queue_draw(p.area);
    }
    if (!p.shown) top = 0, bottom = p.height;
    if (top >= bottom) return true;
    Parts::Buffer* buffer = p.freeBuffer();
    if (!buffer) {
        hide();
        return false;
    }
    for (Parts::Buffer& b : p.buffers) {
        b.staleTop = b.staleTop < b.staleBottom ? std::min(b.staleTop, top) : top;
        b.staleBottom = std::max(b.staleBottom, bottom);
    }
    cairo_surface_flush(frame);
    const unsigned char* from = cairo_image_surface_get_data(frame);
    const int fromStride = cairo_image_surface_get_stride(frame);
    const std::size_t row = static_cast<std::size_t>(p.width) * 4;
    for (int r = buffer->staleTop; r < buffer->staleBottom; r++)
        std::memcpy(buffer->pixels + row * r, from + static_cast<std::size_t>(fromStride) * r, row);
    buffer->staleTop = buffer->staleBottom = 0;
    buffer->busy = true;
    wl_surface_attach(p.surface, buffer->buffer, 0, 0);
    wl_surface_damage(p.surface, 0, top, p.width, bottom - top);
    wl_surface_commit(p.surface);
    wl_display_flush(p.display);
    p.shown = true;
    return true;
}

void WaylandPicture::hide() {
    Parts& p = *parts_;
    if (!p.shown) return;
    wl_surface_attach(p.surface, nullptr, 0, 0);
    wl_surface_commit(p.surface);
    wl_display_flush(p.display);
    p.shown = false;
}

bool WaylandPicture::shown() const { return parts_->shown; }

#else

struct WaylandPicture::Parts {};
std::unique_ptr<WaylandPicture> WaylandPicture::Create(GtkWidget*, int, int) { return nullptr; }
bool WaylandPicture::show(cairo_surface_t*, int, int) { return false; }
bool WaylandPicture::shown() const { return false; }
void WaylandPicture::hide() {}

#endif

WaylandPicture::WaylandPicture(std::unique_ptr<Parts> parts) : parts_(std::move(parts)) {}
WaylandPicture::~WaylandPicture() = default;

}  // namespace vemol::platform
