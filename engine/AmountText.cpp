// The separator and the hook are process-wide because the whole program shares one locale and
// one window; both are set on the GUI thread only.

#include "AmountText.h"

#include <string_view>
#include <utility>

#include "AmountParse.h"
#include "WideInteger.h"

namespace {

char currentSeparator = '.';

std::function<void()>& MessageHook() {
    static std::function<void()> hook;
    return hook;
}

// Characters kept after each removed mark; anything beyond is dropped with it.
constexpr std::size_t KeptAfterMark = 99;

// The bytes of the first count whole characters of UTF-8 text, so that a cut never leaves part of
// a character behind for the message to show. Continuation bytes belong to the character before.
std::size_t WholeCharacterBytes(std::string_view text, std::size_t count) {
    std::size_t at = 0;
    for (; count > 0 && at < text.size(); --count) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) {
            ++at;
        }
    }
    return at;
}

}  // namespace

void SetDecimalSeparator(char separator) {
    currentSeparator = separator;
}

char DecimalSeparator() {
    return currentSeparator;
}

void SetConversionMessageHook(std::function<void()> hook) {
    MessageHook() = std::move(hook);
}

ConversionError::ConversionError(const std::string& normalisedText)
    : std::runtime_error("'" + normalisedText + "' is not a valid floating point value"),
      normalisedText_(normalisedText) {}

Currency TextToAmount(const std::string& text) {
    std::string s = text;
    bool separatorRemoved = false;
    try {
        for (char& c : s) {
            if (c == 'o' || c == 'O') {
                c = '0';
            }
        }
        for (const char mark : {'.', ',', '\''}) {
            // s changes only by a whole step, so a failure leaves it as the last step left it.
            for (std::size_t at = s.find(mark); at != std::string::npos; at = s.find(mark)) {
                const std::string_view after = std::string_view(s).substr(at + 1);
                s = s.substr(0, at) +
                    std::string(after.substr(0, WholeCharacterBytes(after, KeptAfterMark)));
                separatorRemoved = true;
            }
        }
    } catch (const std::exception&) {
        if (MessageHook()) {
            MessageHook()();
        }
    }

    const std::optional<Currency> parsed = ParseAmountText(s, currentSeparator);
    if (!parsed) {
        throw ConversionError(s);
    }
    if (separatorRemoved) {
        return Divide(*parsed, Currency::FromInteger(100)).value();  // a hundredth always fits
    }
    return *parsed;
}

std::string CurrencyToText(Currency amount) {
    const std::int64_t raw = amount.Raw();
    const std::uint64_t magnitude = UnsignedMagnitude(raw);
    constexpr auto scale = static_cast<std::uint64_t>(Currency::Scale);

    std::string text = raw < 0 ? "-" : "";
    text += std::to_string(magnitude / scale);
    const std::uint64_t fraction = magnitude % scale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + scale).substr(1);  // four digits, zeros kept
        digits.erase(digits.find_last_not_of('0') + 1);
        text += DecimalSeparator();
        text += digits;
    }
    return text;
}
