// Sizing the form's texts; see TextFit.h.
#include "TextFit.h"

#include <algorithm>
#include <cmath>

namespace {

// Far beyond any form text; a measurement that never reaches the target stops here.
constexpr int LargestSize = 1000;

}  // namespace

int SizeNearest(double target, const std::function<int(int size)>& measureAt) {
    // Start near the target and walk.
    int size = std::clamp(static_cast<int>(std::lround(target)), 1, LargestSize);
    while (size < LargestSize && measureAt(size) < target) {
        ++size;
    }
    while (size > 1 && measureAt(size - 1) >= target) {
        --size;
    }
    // size is now the smallest whose measure reaches the target; the one below may be nearer.
    if (size > 1 && target - measureAt(size - 1) <= measureAt(size) - target) {
        return size - 1;
    }
    return size;
}

int FittingDigitHeight(int digitHeight, int width, const std::function<int(int height)>& widthAt) {
    const int smallest = std::max(1, (digitHeight * SmallestShrinkPercent + 99) / 100);
    int height = digitHeight;
    while (height > smallest && widthAt(height) > width) {
        --height;
    }
    return height;
}
