// The font size for a cell; see FontFit.h.
#include "FontFit.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Far beyond any form font; a measurement that never reaches the cell stops here.
constexpr int LargestSize = 1000;

}  // namespace

int FontSizeForCell(double cell, const std::function<int(int size)>& measure) {
    // Each size is measured once: a measurement makes a font, which is slow on some systems.
    std::map<int, int> measured;
    const auto cellAt = [&](int size) {
        const auto [entry, added] = measured.try_emplace(size, 0);
        if (added) {
            entry->second = measure(size);
        }
        return entry->second;
    };
    // Most faces have a cell of about 1.2 to 1.4 times their size: start near and walk.
    int size = std::max(1, static_cast<int>(std::lround(cell / 1.3)));
    while (size < LargestSize && cellAt(size) < cell) {
        ++size;
    }
    while (size > 1 && cellAt(size - 1) >= cell) {
        --size;
    }
    // size is now the smallest whose cell reaches the target; the one below may be nearer.
    if (size > 1 && cell - cellAt(size - 1) <= cellAt(size) - cell) {
        return size - 1;
    }
    return size;
}
