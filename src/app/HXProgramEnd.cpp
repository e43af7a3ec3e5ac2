#include "app/HXProgramEnd.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// exit() knows only plain functions: the action lives here, for the one process.
std::function<void()>& actionAtExit() {
    static std::function<void()> action;
    return action;
}

void runActionAtExit() {
    // Taken out first, so that an exit() from within the action does not run it again.
    const std::function<void()> action = std::exchange(actionAtExit(), nullptr);
    if (action)
        action();
}

} // namespace

void HXProgramEnd::setActionAtExit(std::function<void()> action) {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(runActionAtExit); });
    actionAtExit() = std::move(action);
}

void HXProgramEnd::endWithin(std::chrono::milliseconds grace) {
    std::thread([grace] {
        std::this_thread::sleep_for(grace);
        endNow();
    }).detach();
}

void HXProgramEnd::endNow() {
    std::fflush(nullptr);
    std::_Exit(0);
}
