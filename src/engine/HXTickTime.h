#pragma once

// When one sampling tick runs, and the interval it attributes.
struct HXTickTime {
    // Unix seconds of this tick, and of the tick before it (the configuration's "Last Timestamp", 0 when
    // there was none).
    double now = 0;
    double previous = 0;
    // A gap tick attributes nothing: the first tick, the first after a pause or a reset, one after the clock
    // was set back.
    bool gap = true;
    // Seconds since the previous tick, without an upper bound (a late tick counts all of it); 0 at a gap.
    double interval = 0;
};
