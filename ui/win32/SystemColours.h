#pragma once
// The system's colours on Windows: conversion between the form's colours and COLORREF, and the
// high-contrast decision, which follows the accessibility setting and takes the colours of the
// scheme the user picked.

#include <windows.h>

#include <functional>
#include <optional>

#include "FormTypes.h"

COLORREF ColourReference(Colour colour);
Colour ColourOf(COLORREF reference);

// The colours of the face drawn in high contrast when the setting has HCF_HIGHCONTRASTON, each
// read through systemColour (GetSysColor's index to colour); nullopt when it has not.
std::optional<SystemColours> HighContrastColours(const HIGHCONTRASTW& setting,
                                                 const std::function<COLORREF(int)>& systemColour);

// The same for the running system; nullopt where it cannot say (no high contrast is assumed).
std::optional<SystemColours> SystemHighContrastColours();
