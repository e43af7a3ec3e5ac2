#pragma once

#include <chrono>
#include <functional>

// The ways this program may end without its orderly shutdown, and a bound on how long the end may take.
namespace HXProgramEnd {

// The action runs when the process ends through exit() before the orderly shutdown, as it does when
// Qt's X11 connection breaks ("The X11 connection broke ... Did the X11 server die?"). An empty action
// takes it back; it must be taken back before what it refers to goes away.
void setActionAtExit(std::function<void()> action);

// Ends the process with status 0 should it still run after the grace period: for a shutdown whose data
// is saved while the rest of it may wait on an X server that stopped answering.
void endWithin(std::chrono::milliseconds grace);

// Ends the process now with status 0, past nested event loops (an open dialog) and start-up alike;
// the standard streams are flushed, destructors do not run.
[[noreturn]] void endNow();

} // namespace HXProgramEnd
