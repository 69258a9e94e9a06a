// The keypad's aligned grid; see KeyGrid.h.
#include "KeyGrid.h"

#include <algorithm>

namespace {

// The start of each line (column or row) of the grid: edges within tolerance of the previous
// one belong to its line.
std::vector<int> LineStarts(std::vector<int> edges, int tolerance) {
    std::sort(edges.begin(), edges.end());
    std::vector<int> starts;
    for (const int edge : edges) {
        if (starts.empty() || edge - starts.back() > tolerance) {
            starts.push_back(edge);
        }
    }
    return starts;
}

// The first line a span lies in and how many it reaches into.
std::pair<int, int> Lines(int start, int end, const std::vector<int>& starts, int tolerance) {
    int first = 0;
    int last = 0;
    for (std::size_t line = 0; line < starts.size(); ++line) {
        if (starts[line] <= start + tolerance) {
            first = static_cast<int>(line);
        }
        if (starts[line] < end - tolerance) {
            last = static_cast<int>(line);
        }
    }
    return {first, std::max(1, last - first + 1)};
}

}  // namespace

std::vector<Rect> AlignedKeyGrid(const std::vector<Rect>& keys, int gap) {
    if (keys.empty()) {
        return {};
    }
    int left = keys.front().Left;
    int top = keys.front().Top;
    int right = keys.front().Right();
    int bottom = keys.front().Bottom();
    int smallestWidth = keys.front().Width;
    int smallestHeight = keys.front().Height;
    std::vector<int> lefts;
    std::vector<int> tops;
    for (const Rect& key : keys) {
        left = std::min(left, key.Left);
        top = std::min(top, key.Top);
        right = std::max(right, key.Right());
        bottom = std::max(bottom, key.Bottom());
        smallestWidth = std::min(smallestWidth, key.Width);
        smallestHeight = std::min(smallestHeight, key.Height);
        lefts.push_back(key.Left);
        tops.push_back(key.Top);
    }
    const int xTolerance = smallestWidth / 4;
    const int yTolerance = smallestHeight / 4;
    const std::vector<int> columns = LineStarts(lefts, xTolerance);
    const std::vector<int> rows = LineStarts(tops, yTolerance);
    const int columnCount = static_cast<int>(columns.size());
    const int rowCount = static_cast<int>(rows.size());
    // Whole steps, so every key is the same size; the pixels left over are shared out on both
    // sides.
    const int columnStep = (right - left) / columnCount;
    const int rowStep = (bottom - top) / rowCount;
    const int x0 = left + (right - left - columnStep * columnCount) / 2;
    const int y0 = top + (bottom - top - rowStep * rowCount) / 2;
    std::vector<Rect> grid;
    for (const Rect& key : keys) {
        const auto [column, columnSpan] = Lines(key.Left, key.Right(), columns, xTolerance);
        const auto [row, rowSpan] = Lines(key.Top, key.Bottom(), rows, yTolerance);
        grid.push_back({x0 + column * columnStep, y0 + row * rowStep, columnSpan * columnStep - gap,
                        rowSpan * rowStep - gap});
    }
    return grid;
}
