// Any bytes as a bitmap file and as an icon file: each decoder either returns a consistent
// picture or throws PictureFormatError. A crash, a read past the end (AddressSanitizer) or any
// other exception is a bug. A decoded picture also goes through the colour-key mask and scaling,
// which must accept whatever the decoder hands out.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "FuzzRequire.h"
#include "Picture.h"

namespace {

std::string SizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

void CheckBitmap(std::span<const std::uint8_t> file) {
    Picture picture;
    try {
        picture = DecodeBitmap(file);
    } catch (const PictureFormatError&) {
        return;
    }
    const std::string size = SizeText(picture.Width, picture.Height);
    Require(picture.Width > 0 && picture.Height > 0 &&
                picture.Rgb.size() == static_cast<std::size_t>(picture.Width) *
                                          static_cast<std::size_t>(picture.Height) * 3,
            "a decoded bitmap holds three bytes per pixel", size);
    for (const Rect& run :
         ColourKeyMask(picture, {255, 255, 255}, picture.Width + 1, picture.Height + 1)) {
        Require(run.Left >= 0 && run.Right() <= picture.Width && run.Top >= 0 &&
                    run.Top < picture.Height && run.Height == 1 && run.Width > 0,
                "mask runs lie inside the picture", size);
    }
    const Picture scaled = ScalePicture(picture, picture.Width / 2 + 1, picture.Height + 1);
    Require(scaled.Rgb.size() == static_cast<std::size_t>(scaled.Width) *
                                     static_cast<std::size_t>(scaled.Height) * 3,
            "a scaled picture holds three bytes per pixel", size);
}

void CheckIcon(std::span<const std::uint8_t> file) {
    IconImage icon;
    try {
        icon = DecodeIcon(file);
    } catch (const PictureFormatError&) {
        return;
    }
    Require(icon.Width > 0 && icon.Height > 0 &&
                icon.Argb.size() ==
                    static_cast<std::size_t>(icon.Width) * static_cast<std::size_t>(icon.Height),
            "a decoded icon holds one value per pixel", SizeText(icon.Width, icon.Height));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    CheckBitmap(file);
    CheckIcon(file);
    return 0;
}
