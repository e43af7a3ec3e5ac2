#pragma once

#include <cstdint>

// Heap allocations made by this program so far (operator new of every form is counted).
std::uint64_t allocationCount();
