// The program icon; see ProgramIcon.h.
#include "ProgramIcon.h"

#include "Resources.h"

#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>

std::vector<std::uint8_t> RgbaPixels(const IconImage& icon) {
    std::vector<std::uint8_t> rgba;
    rgba.reserve(icon.Argb.size() * 4);
    for (const std::uint32_t pixel : icon.Argb) {
        rgba.push_back(static_cast<std::uint8_t>(pixel >> 16));
        rgba.push_back(static_cast<std::uint8_t>(pixel >> 8));
        rgba.push_back(static_cast<std::uint8_t>(pixel));
        rgba.push_back(static_cast<std::uint8_t>(pixel >> 24));
    }
    return rgba;
}

void UseProgramIcon() {
    const IconImage icon = DecodeIcon(ProgramIconFile());
    const std::vector<std::uint8_t> rgba = RgbaPixels(icon);
    const Fl_RGB_Image image(rgba.data(), icon.Width, icon.Height, 4);
    Fl_Window::default_icon(&image);  // FLTK keeps a copy
}
