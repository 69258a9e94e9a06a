#pragma once
// How large the form's texts are drawn, decided once for every platform. Faces differ by a fifth
// and more in how tall their digits stand at one nominal size, so a text is sized by the height
// of its digits, measured in the face the platform has; and a number wider than its label is
// drawn smaller until it fits, since a number without its leading digits reads as another one.

#include <functional>
#include <string>

// The size whose measure, as measureAt gives it, comes nearest to target; of two as near, the
// smaller. measureAt grows with the size; sizes start at 1.
int SizeNearest(double target, const std::function<int(int size)>& measureAt);

// The smallest share of its digit height a text is shrunk to; below it a text is hard to read.
inline constexpr int SmallestShrinkPercent = 60;

// The digit height at which a text fits width: its own when it fits, else the largest smaller
// one that does, but not below SmallestShrinkPercent of its own. widthAt gives the text's width
// at a digit height.
int FittingDigitHeight(int digitHeight, int width, const std::function<int(int height)>& widthAt);
