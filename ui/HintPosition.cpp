// The hint's place; see HintPosition.h.
#include "HintPosition.h"

#include <algorithm>

namespace {

// The hint sits below the pointer's arrow or hand, as the platforms' tooltips do.
constexpr int PointerHeight = 20;

}  // namespace

Point HintPosition(int width, int height, Point screenPointer, const Rect& screen) {
    const int left = std::max(screen.Left, std::min(screenPointer.X, screen.Right() - width));
    const int below = screenPointer.Y + PointerHeight;
    const int top = below + height <= screen.Bottom() ? below : screenPointer.Y - height;
    return {left, std::max(screen.Top, top)};
}
