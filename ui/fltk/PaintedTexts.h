#pragma once
// Where the window last painted its texts, character by character: a screen reader's magnifier
// or braille display asks where a character of the display is, and the answer is where its
// glyph lies, not an even share of the element.

#include <string>
#include <vector>

#include "FormTypes.h"

class PaintedTexts {
public:
    // A paint of the whole window begins: what was painted before is gone.
    void Clear() { texts_.clear(); }
    // The text was painted in the box, each character in its place (client coordinates).
    void Add(std::string text, const Rect& box, std::vector<Rect> characters);
    // The places of the characters of text as it was last painted in a box that meets within;
    // empty when it was not painted there.
    std::vector<Rect> CharactersOf(const std::string& text, const Rect& within) const;

private:
    struct Painted {
        std::string Text;
        Rect Box;
        std::vector<Rect> Characters;
    };
    std::vector<Painted> texts_;
};
