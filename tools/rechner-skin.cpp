// rechner-skin: writes the calculator's skin as the window draws it at a resolution, as an
// uncompressed 24-bit bitmap: for the committed 100 % picture and for tests that compare a
// window's pixels with what it should show.
//
//   rechner-skin DPI FILE
//
// DPI from 96 to 288 draws the skin at DPI / 96, as the desktop's Xft.dpi or the monitor's DPI
// would scale the window. Anything else, or a file that cannot be written, exits with status 2
// and a message, leaving no half-written file behind.

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "SkinDrawing.h"

namespace {

constexpr int BadInputStatus = 2;
constexpr int DesignDpi = 96;
constexpr int HighestDpi = 288;

void AppendLittleEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size) {
    for (int byte = 0; byte < size; ++byte) {
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * byte)));
    }
}

// Bottom-up rows of blue, green, red, each padded to four bytes, after the 14-byte file header
// and the 40-byte BITMAPINFOHEADER.
std::vector<std::uint8_t> BitmapFile(const Picture& picture) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(picture.Width) * 3 + 3) & ~3U;
    const std::uint32_t dataSize = stride * static_cast<std::uint32_t>(picture.Height);
    constexpr std::uint32_t offset = 14 + 40;
    constexpr std::uint32_t pixelsPerMetre = 3780;  // 96 dpi
    std::vector<std::uint8_t> file{'B', 'M'};
    for (const auto& [value, size] : {std::pair{offset + dataSize, 4},
                                      {0U, 4},
                                      {offset, 4},
                                      {40U, 4},
                                      {static_cast<std::uint32_t>(picture.Width), 4},
                                      {static_cast<std::uint32_t>(picture.Height), 4},
                                      {1U, 2},
                                      {24U, 2},
                                      {0U, 4},
                                      {dataSize, 4},
                                      {pixelsPerMetre, 4},
                                      {pixelsPerMetre, 4},
                                      {0U, 4},
                                      {0U, 4}}) {
        AppendLittleEndian(file, value, size);
    }
    for (int y = picture.Height - 1; y >= 0; --y) {
        const auto row = static_cast<std::size_t>(y * picture.Width * 3);
        for (int x = 0; x < picture.Width; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x) * 3;
            file.insert(file.end(), {picture.Rgb[at + 2], picture.Rgb[at + 1], picture.Rgb[at]});
        }
        file.resize(file.size() + stride - static_cast<std::uint32_t>(picture.Width) * 3);
    }
    return file;
}

// Written beside the target and renamed over it, so a failed write leaves the old file whole.
bool WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string scratch = path + ".part";
    {
        std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::remove(scratch.c_str());
            return false;
        }
    }
    // Windows' C library renames onto no existing file: the old one goes first there.
    if (std::rename(scratch.c_str(), path.c_str()) != 0 &&
        (std::remove(path.c_str()) != 0 || std::rename(scratch.c_str(), path.c_str()) != 0)) {
        std::remove(scratch.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int dpi = 0;
    const std::string_view dpiText = argc == 3 ? argv[1] : "";
    const auto [end, error] = std::from_chars(dpiText.data(), dpiText.data() + dpiText.size(), dpi);
    if (argc != 3 || error != std::errc{} || end != dpiText.data() + dpiText.size() ||
        dpi < DesignDpi || dpi > HighestDpi) {
        std::fprintf(stderr, "usage: rechner-skin DPI FILE, with DPI from %d to %d\n", DesignDpi,
                     HighestDpi);
        return BadInputStatus;
    }
    if (!WriteWhole(argv[2], BitmapFile(DrawSkin({dpi, DesignDpi})))) {
        std::fprintf(stderr, "rechner-skin: cannot write %s\n", argv[2]);
        return BadInputStatus;
    }
    return 0;
}
