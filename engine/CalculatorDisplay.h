#pragma once
// The engine's output: three texts, written one call at a time while a key is processed. The
// window shows them as its three labels; tests record them.

#include <string>
#include <string_view>

// What the display shows before the first key; the engine never writes these itself.
inline constexpr std::string_view InitialEntryText = "0";
inline constexpr std::string_view InitialLastNumberText = "";
inline constexpr std::string_view InitialOperatorText = " ";

// The last-number text after a calculation failed.
inline constexpr std::string_view ErrorText = "Fehler";

class CalculatorDisplay {
public:
    virtual ~CalculatorDisplay() = default;
    virtual void SetEntryText(const std::string& text) = 0;
    virtual void SetLastNumberText(const std::string& text) = 0;
    virtual void SetOperatorText(const std::string& text) = 0;
};
