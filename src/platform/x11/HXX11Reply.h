#pragma once

#include <cstdlib>
#include <memory>

// xcb hands out replies and errors allocated with malloc; the caller frees them.
struct HXX11FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

template <typename T> using HXX11Reply = std::unique_ptr<T, HXX11FreeDeleter>;
