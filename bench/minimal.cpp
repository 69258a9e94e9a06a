// The yardstick for the start-up benchmark: the least an FLTK program with the calculator's
// window can do. A borderless 126 x 224 double-buffered window at the calculator's first-run
// place that paints one picture and one text and then waits. Built and run by startup.py.

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/fl_draw.H>

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int Width = 126;
constexpr int Height = 224;
constexpr std::size_t PictureBytes = std::size_t{Width} * Height * 3;

// A picture as big as the skin, so the copy to the screen costs the same: a grey body with a
// green display, made in code, as the calculator's is decoded from its own data.
class PictureWindow : public Fl_Double_Window {
public:
    PictureWindow(int x, int y) : Fl_Double_Window(x, y, Width, Height, "Minimal") {
        for (int row = 0; row < Height; ++row) {
            for (int column = 0; column < Width; ++column) {
                const bool display = column >= 24 && column < 100 && row >= 40 && row < 76;
                const auto shade = static_cast<std::uint8_t>(60 + row / 4);
                std::uint8_t* pixel =
                    &pixels_[static_cast<std::size_t>((row * Width + column) * 3)];
                pixel[0] = display ? 178 : shade;
                pixel[1] = display ? 208 : shade;
                pixel[2] = display ? 184 : shade;
            }
        }
    }

    void draw() override {
        fl_draw_image(pixels_.data(), 0, 0, Width, Height, 3);
        fl_color(FL_BLACK);
        fl_font(FL_HELVETICA_BOLD, 11);
        fl_draw("0", 14, 59, 80, 17, FL_ALIGN_RIGHT);
    }

private:
    std::array<std::uint8_t, PictureBytes> pixels_{};
};

}  // namespace

int main() {
    PictureWindow window(Fl::w() - Width, 100);
    window.border(0);
    window.show();
    return Fl::run();
}
