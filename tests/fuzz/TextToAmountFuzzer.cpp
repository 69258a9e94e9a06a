// Any text through TextToAmount: it never crashes, and an amount it returns agrees with what the
// same text gives in other forms that must read alike.
//
// Input: the first byte picks the decimal separator ("." or ";" as themselves, anything else a
// comma), the rest is the text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "AmountParse.h"
#include "AmountText.h"
#include "FuzzRequire.h"

namespace {

std::optional<Currency> Convert(const std::string& text) {
    try {
        return TextToAmount(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const char selector = static_cast<char>(data[0]);
    SetDecimalSeparator(selector == '.' || selector == ';' ? selector : ',');
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::optional<Currency> amount = Convert(text);
    // Blanks may surround any amount, and every mark keeps what lies before it.
    Require(Convert(" " + text + " ") == amount, "blanks around change nothing", text);
    if (!amount) {
        return 0;
    }
    const std::string amountText = CurrencyToText(*amount);
    Require(ParseAmountText(amountText, DecimalSeparator()) == amount,
            "the amount's own text reads back", text + " -> " + amountText);
    if (amount->Raw() % Currency::Scale == 0) {
        // A whole amount prints without any mark, so TextToAmount reads it back unchanged.
        Require(Convert(amountText) == amount, "a whole amount's text converts back",
                text + " -> " + amountText);
    }
    if (text[0] >= '0' && text[0] <= '9') {
        // Rounding and the division by 100 both work on the magnitude, so a sign mirrors.
        Require(Convert("-" + text) == Subtract(Currency(), *amount), "a minus sign negates", text);
    }
    return 0;
}
