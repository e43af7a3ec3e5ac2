#pragma once

// The StatusNotifierItem tray: a watcher ("org.kde.StatusNotifierWatcher") on the session bus that
// says a host shows the items.
namespace HXDBusStatusNotifierWatcher {

inline constexpr const char* kService = "org.kde.StatusNotifierWatcher";

// Asks the watcher, waiting at most timeoutMs; false without a bus, a watcher or a host.
bool hasRegisteredHost(int timeoutMs = 1000);

} // namespace HXDBusStatusNotifierWatcher
