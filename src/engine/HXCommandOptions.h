#pragma once

// Who asks for a tick or a save: the schedule, or a command. A command cancels the scheduled call first;
// its tick runs even while paused and looks at every record.
enum class HXTrigger { Schedule, Command };

// Deleting an item from the organizer.
struct HXDeleteOptions {
    // An application or window goes on its blacklist even when it is not active (an active one always
    // does, or the next tick would bring it back).
    bool forceBlacklisting = false;
    // Ask the user first.
    bool confirm = true;
};

// Saving the configuration.
struct HXSaveOptions {
    bool write = true;
    // Keep a copy in the settings when the file cannot be written (and drop it once it can).
    bool userDefaultsFallback = false;
    bool scheduleNextSave = false;
};
