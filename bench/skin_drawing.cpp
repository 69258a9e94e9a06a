// What drawing the skin costs at the scales a window is shown at: the program draws it at start
// for a scaled desktop and again on every change of scale, on the window's thread. Prints, per
// scale, the median and the slowest wall time of the runs, against the target of 2 ms at 200 %,
// and the median processor time of the thread, which a busy machine inflates less.
//
//   build/bench/skin_drawing [RUNS]     (default 51 runs per scale)

#include <time.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <string_view>
#include <vector>

#include "SkinDrawing.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int DefaultRuns = 51;
constexpr double TargetMillisecondsAt200 = 2.0;

double ThreadMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Run {
    double Wall = 0;
    double Processor = 0;
};

double Median(std::vector<double> values) {
    std::ranges::sort(values);
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = DefaultRuns;
    if (argc > 1) {
        const std::string_view text = argv[1];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), runs);
        if (argc > 2 || error != std::errc{} || end != text.data() + text.size() || runs < 1) {
            std::fprintf(stderr, "usage: skin_drawing [RUNS], RUNS at least 1\n");
            return 2;
        }
    }
    std::printf("%-6s%12s%12s%12s%12s\n", "dpi", "size", "median ms", "slowest ms", "cpu ms");
    for (const int dpi : {96, 109, 120, 140, 144, 163, 192, 240, 288}) {
        std::vector<double> wall;
        std::vector<double> processor;
        Point size;
        for (int run = 0; run < runs; ++run) {
            const double cpuStart = ThreadMilliseconds();
            const auto start = Clock::now();
            const Picture skin = DrawSkin({dpi, 96});
            wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            processor.push_back(ThreadMilliseconds() - cpuStart);
            size = {skin.Width, skin.Height};
        }
        const double median = Median(wall);
        std::printf("%-6d%5d x %-4d%12.3f%12.3f%12.3f", dpi, size.X, size.Y, median,
                    *std::ranges::max_element(wall), Median(processor));
        if (dpi == 192) {
            std::printf("  target <= %.1f ms: %s", TargetMillisecondsAt200,
                        median <= TargetMillisecondsAt200 ? "met" : "MISSED");
        }
        std::printf("\n");
    }
    return 0;
}
