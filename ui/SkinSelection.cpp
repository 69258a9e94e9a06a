// The choice among the drawn skins; see SkinSelection.h.
#include "SkinSelection.h"

#include <optional>
#include <stdexcept>

Picture SkinForSize(std::span<const std::span<const std::uint8_t>> bitmapFiles, int width,
                    int height) {
    if (bitmapFiles.empty()) {
        throw std::invalid_argument("no skin to choose from");
    }
    // Only the chosen file is decoded: the sizes come from the headers.
    std::optional<std::size_t> smallestCovering;
    std::size_t largest = 0;
    Point smallestSize;
    Point largestSize;
    for (std::size_t index = 0; index < bitmapFiles.size(); ++index) {
        const Point size = BitmapSize(bitmapFiles[index]);
        if (size.X >= width && size.Y >= height &&
            (!smallestCovering ||
             std::int64_t{size.X} * size.Y < std::int64_t{smallestSize.X} * smallestSize.Y)) {
            smallestCovering = index;
            smallestSize = size;
        }
        if (std::int64_t{size.X} * size.Y > std::int64_t{largestSize.X} * largestSize.Y) {
            largest = index;
            largestSize = size;
        }
    }
    return ScalePicture(DecodeBitmap(bitmapFiles[smallestCovering.value_or(largest)]), width,
                        height);
}
