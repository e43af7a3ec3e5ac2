#pragma once

#include <optional>

struct xcb_connection_t;

// The X server's key repeat: the delay before the first repeat and the interval between repeats, in
// seconds. Nothing when the keyboard extension does not answer.
struct HXX11KeyRepeat {
    double delay = 0;
    double interval = 0;
};

std::optional<HXX11KeyRepeat> HXX11KeyRepeatOf(xcb_connection_t* connection);
