// The window's place after a change of scale or of monitors; see ScreenFit.h.
#include "ScreenFit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

std::int64_t Area(const Rect& r) {
    return std::int64_t{std::max(r.Width, 0)} * std::max(r.Height, 0);
}

Rect Intersection(const Rect& a, const Rect& b) {
    const int left = std::max(a.Left, b.Left);
    const int top = std::max(a.Top, b.Top);
    return {left, top, std::max(0, std::min(a.Right(), b.Right()) - left),
            std::max(0, std::min(a.Bottom(), b.Bottom()) - top)};
}

// Whether the monitors together cover every pixel of the window. Monitors may overlap (a
// mirrored pair) or meet at an edge (a window standing across two), so the window is cut into
// the cells their edges make and each cell is looked up.
bool WhollyOnMonitors(const Rect& window, const std::vector<Rect>& monitors) {
    std::vector<int> xs{window.Left, window.Right()};
    std::vector<int> ys{window.Top, window.Bottom()};
    for (const Rect& monitor : monitors) {
        for (const int x : {monitor.Left, monitor.Right()}) {
            if (x > window.Left && x < window.Right()) {
                xs.push_back(x);
            }
        }
        for (const int y : {monitor.Top, monitor.Bottom()}) {
            if (y > window.Top && y < window.Bottom()) {
                ys.push_back(y);
            }
        }
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
            if (xs[i] == xs[i + 1] || ys[j] == ys[j + 1]) {
                continue;
            }
            const Point cell{xs[i], ys[j]};
            if (std::none_of(monitors.begin(), monitors.end(),
                             [&](const Rect& monitor) { return monitor.Contains(cell); })) {
                return false;
            }
        }
    }
    return true;
}

// The gap between two rectangles along one axis, 0 where they overlap on it.
std::int64_t Gap(int aStart, int aEnd, int bStart, int bEnd) {
    return std::max<std::int64_t>({0, std::int64_t{bStart} - aEnd, std::int64_t{aStart} - bEnd});
}

// The monitor holding most of the window; where none holds any of it, the nearest one.
const Rect& HomeMonitor(const Rect& window, const std::vector<Rect>& monitors) {
    const Rect* home = &monitors.front();
    std::int64_t bestOverlap = -1;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    for (const Rect& monitor : monitors) {
        const std::int64_t overlap = Area(Intersection(window, monitor));
        const std::int64_t dx = Gap(window.Left, window.Right(), monitor.Left, monitor.Right());
        const std::int64_t dy = Gap(window.Top, window.Bottom(), monitor.Top, monitor.Bottom());
        const std::int64_t distance = dx * dx + dy * dy;
        if (overlap > bestOverlap ||
            (overlap == 0 && bestOverlap == 0 && distance < bestDistance)) {
            home = &monitor;
            bestOverlap = overlap;
            bestDistance = distance;
        }
    }
    return *home;
}

// Moves a span as little as possible to lie within [start, end); one longer than that starts at
// its start, so the window's top left, where dragging begins, stays reachable.
int Within(int position, int length, int start, int end) {
    return std::max(start, std::min(position, end - length));
}

Point OntoMonitor(const Rect& window, const Rect& monitor) {
    return {Within(window.Left, window.Width, monitor.Left, monitor.Right()),
            Within(window.Top, window.Height, monitor.Top, monitor.Bottom())};
}

}  // namespace

Point ResizedPlace(const Rect& before, int width, int height, const std::vector<Rect>& monitors) {
    if (monitors.empty()) {
        return {before.Left, before.Top};
    }
    const Rect& home = HomeMonitor(before, monitors);
    const bool keepRight = home.Right() - before.Right() < before.Left - home.Left;
    const bool keepBottom = home.Bottom() - before.Bottom() < before.Top - home.Top;
    const Rect after{keepRight ? before.Right() - width : before.Left,
                     keepBottom ? before.Bottom() - height : before.Top, width, height};
    if (WhollyOnMonitors(after, monitors)) {
        return {after.Left, after.Top};
    }
    return OntoMonitor(after, home);
}

std::optional<Point> BackOnScreen(const Rect& window, const std::vector<Rect>& monitors) {
    if (monitors.empty() || WhollyOnMonitors(window, monitors)) {
        return std::nullopt;
    }
    return OntoMonitor(window, HomeMonitor(window, monitors));
}

namespace {

bool Below(ScaleFactor a, ScaleFactor b) {
    return std::int64_t{a.Numerator} * b.Denominator < std::int64_t{b.Numerator} * a.Denominator;
}

}  // namespace

ScaleFactor AtLeastDesign(ScaleFactor wanted) {
    return Below(wanted, ScaleFactor{}) ? ScaleFactor{} : wanted;
}

ScaleFactor FittingScale(ScaleFactor wanted, Point designSize, const Rect& workArea) {
    const ScaleFactor design{};
    if (Below(wanted, design) || designSize.X <= 0 || designSize.Y <= 0) {
        return design;
    }
    ScaleFactor fitting = wanted;
    if (Below(ScaleFactor{workArea.Width, designSize.X}, fitting)) {
        fitting = {workArea.Width, designSize.X};
    }
    if (Below(ScaleFactor{workArea.Height, designSize.Y}, fitting)) {
        fitting = {workArea.Height, designSize.Y};
    }
    return Below(fitting, design) ? design : fitting;
}

std::optional<Rect> HomeWorkArea(const Rect& window, const ScreenLayout& layout) {
    if (layout.Monitors.empty()) {
        return std::nullopt;
    }
    const Rect& home = HomeMonitor(window, layout.Monitors);
    const auto index = static_cast<std::size_t>(&home - layout.Monitors.data());
    return index < layout.WorkAreas.size() ? layout.WorkAreas[index] : home;
}
