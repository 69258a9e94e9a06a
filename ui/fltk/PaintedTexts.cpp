// Where the window last painted its texts; see PaintedTexts.h.
#include "PaintedTexts.h"

#include <utility>

void PaintedTexts::Add(std::string text, const Rect& box, std::vector<Rect> characters) {
    texts_.push_back({std::move(text), box, std::move(characters)});
}

std::vector<Rect> PaintedTexts::CharactersOf(const std::string& text, const Rect& within) const {
    // The last paint is the one on the screen.
    for (auto painted = texts_.rbegin(); painted != texts_.rend(); ++painted) {
        if (painted->Text == text && painted->Box.Intersects(within)) {
            return painted->Characters;
        }
    }
    return {};
}
