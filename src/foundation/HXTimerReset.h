#pragma once

// A reset of timers: which it clears, and how. The destructive command of the controller; the daily
// scheduled task runs it too.
struct HXTimerReset {
    bool applications = false;
    bool pools = false;
    // Push an undo state (which also saves) before changing anything.
    bool pushUndoState = true;
    // Ask the user first.
    bool confirm = true;
};
