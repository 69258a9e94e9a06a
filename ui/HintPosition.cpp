// The hint's place; see HintPosition.h.
#include "HintPosition.h"

#include <algorithm>

Point HintPosition(int width, int height, Point screenPointer, const Rect& screen,
                   int pointerHeight) {
    const int left = std::max(screen.Left, std::min(screenPointer.X, screen.Right() - width));
    const int below = screenPointer.Y + pointerHeight;
    const int top = below + height <= screen.Bottom() ? below : screenPointer.Y - height;
    return {left, std::max(screen.Top, top)};
}
