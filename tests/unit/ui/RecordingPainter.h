#pragma once
// A painter without a window: it records what a paint draws, in order, so that the face the form
// draws can be checked headless.

#include <optional>
#include <string>
#include <vector>

#include "FormBackend.h"

struct DrawnText {
    std::string Text;
    Rect Box;
    TextAlignment Alignment;
    int DigitHeight;
    std::optional<Colour> TextColour;
};

struct DrawnRectangle {
    Rect Box;
    Colour Fill;
    Colour Frame;
    int FrameWidth;
};

class RecordingPainter : public FormPainter {
public:
    int Pictures = 0;
    std::vector<DrawnText> Texts;
    std::vector<DrawnRectangle> Rectangles;

    void DrawPicture(const Picture&, Point) override { ++Pictures; }
    void DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                   int digitHeight, std::optional<Colour> colour) override {
        Texts.push_back({text, box, alignment, digitHeight, colour});
    }
    // As wide as a face whose every character is three fifths of its digit height wide.
    int TextWidth(const std::string& text, int digitHeight) override {
        return static_cast<int>(text.size()) * digitHeight * 3 / 5;
    }
    void DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) override {
        Rectangles.push_back({box, fill, frame, frameWidth});
    }

    // The rectangle drawn last exactly on box; nullptr when none was.
    const DrawnRectangle* RectangleOn(const Rect& box) const {
        for (auto it = Rectangles.rbegin(); it != Rectangles.rend(); ++it) {
            if (it->Box == box) {
                return &*it;
            }
        }
        return nullptr;
    }
    const DrawnText* TextOn(const Rect& box) const {
        for (auto it = Texts.rbegin(); it != Texts.rend(); ++it) {
            if (it->Box == box) {
                return &*it;
            }
        }
        return nullptr;
    }
};
