// A Wayland compositor of nothing but a seat and ext_idle_notifier_v1, which the headless sway of the
// tests (1.7) does not offer yet: it stands in for a newer compositor in the idle monitor's tests. It
// prints its socket's name, then follows commands on standard input, one per line, answered with "ok":
//   idle     every idle notification is told the seat is idle
//   resume   every idle notification is told input resumed
// and prints "notification TIMEOUT" when a client asks for a notification, "destroyed" when it gives one
// back. It listens in $XDG_RUNTIME_DIR.

#include <ext-idle-notify-v1-server-protocol.h>
#include <wayland-server.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<wl_resource*> g_notifications;
std::string g_input;

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

void destroyResource(wl_client*, wl_resource* resource) {
    wl_resource_destroy(resource);
}

void notificationGone(wl_resource* resource) {
    g_notifications.erase(std::remove(g_notifications.begin(), g_notifications.end(), resource),
                          g_notifications.end());
    say("destroyed");
}

// The request tables share their names with the interfaces: in C++ they need "struct".
const struct ext_idle_notification_v1_interface kNotification = {&destroyResource};

void getIdleNotification(wl_client* client, wl_resource* notifier, std::uint32_t id, std::uint32_t timeout,
                         wl_resource*) {
    wl_resource* resource = wl_resource_create(client, &ext_idle_notification_v1_interface,
                                               wl_resource_get_version(notifier), id);
    wl_resource_set_implementation(resource, &kNotification, nullptr, &notificationGone);
    g_notifications.push_back(resource);
    std::printf("notification %u\n", timeout);
    std::fflush(stdout);
}

const struct ext_idle_notifier_v1_interface kNotifier = {&destroyResource, &getIdleNotification};

void bindNotifier(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
    wl_resource* resource =
        wl_resource_create(client, &ext_idle_notifier_v1_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, &kNotifier, nullptr, nullptr);
}

void noDevice(wl_client*, wl_resource*, std::uint32_t) {}

const struct wl_seat_interface kSeat = {&noDevice, &noDevice, &noDevice, &destroyResource};

void bindSeat(wl_client* client, void*, std::uint32_t version, std::uint32_t id) {
    wl_resource* resource = wl_resource_create(client, &wl_seat_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, &kSeat, nullptr, nullptr);
    wl_seat_send_capabilities(resource, 0);
}

int readCommands(int fd, std::uint32_t, void* data) {
    auto* display = static_cast<wl_display*>(data);
    char chunk[256];
    const ssize_t n = ::read(fd, chunk, sizeof(chunk));
    if (n <= 0) {
        wl_display_terminate(display);
        return 0;
    }
    g_input.append(chunk, static_cast<std::size_t>(n));
    for (std::size_t end; (end = g_input.find('\n')) != std::string::npos;) {
        const std::string command = g_input.substr(0, end);
        g_input.erase(0, end + 1);
        for (wl_resource* notification : g_notifications) {
            if (command == "idle")
                ext_idle_notification_v1_send_idled(notification);
            else if (command == "resume")
                ext_idle_notification_v1_send_resumed(notification);
        }
        wl_display_flush_clients(display);
        say(command == "idle" || command == "resume" ? "ok" : "unknown command");
    }
    return 0;
}

} // namespace

int main() {
    wl_display* display = wl_display_create();
    const char* socket = display ? wl_display_add_socket_auto(display) : nullptr;
    if (!socket) {
        std::fprintf(stderr, "fake_idle_compositor: cannot listen (is XDG_RUNTIME_DIR set?)\n");
        return 1;
    }
    wl_global_create(display, &wl_seat_interface, 1, nullptr, &bindSeat);
    wl_global_create(display, &ext_idle_notifier_v1_interface, 1, nullptr, &bindNotifier);
    wl_event_loop_add_fd(wl_display_get_event_loop(display), STDIN_FILENO, WL_EVENT_READABLE, &readCommands,
                         display);
    say(socket);
    wl_display_run(display);
    wl_display_destroy_clients(display);
    wl_display_destroy(display);
    return 0;
}
