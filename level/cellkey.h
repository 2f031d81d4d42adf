#pragma once

#include <cstdint>

// One number for a cell (x, y), for hash maps and sets of cells: x in the
// high half, y in the low half, so every pair of 32-bit values has its own key.
inline uint64_t cellKey(int32_t x, int32_t y)
{
    return (uint64_t(uint32_t(x)) << 32) | uint32_t(y);
}
