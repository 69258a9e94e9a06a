// Random key sequences on one engine: no undefined behaviour, and after every key and at every
// display call the texts and fields agree with each other.
//
// Input: the first byte picks the decimal separator ("." as itself, anything else a comma); each
// further byte is one key, a key character as itself and any other byte mapped onto the keys.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "AmountText.h"
#include "CalculatorEngine.h"
#include "FuzzRequire.h"

namespace {

constexpr std::array<std::string_view, 6> PendingOperators = {"", "+", "-", "x", ":", "="};

bool IsPendingOperator(const std::string& text) {
    return std::find(PendingOperators.begin(), PendingOperators.end(), text) !=
           PendingOperators.end();
}

// Checks each text against the engine's fields at the moment it is written.
class CheckingDisplay : public CalculatorDisplay {
public:
    void SetEntryText(const std::string& text) override {
        Require(text.empty() || text == CurrencyToText(Engine->Entry()),
                "the entry text shows Entry", text);
        Entry = text;
    }
    void SetLastNumberText(const std::string& text) override {
        Require(text.empty() || text == ErrorText || text == CurrencyToText(Engine->LastNumber()),
                "the last-number text shows LastNumber", text);
        LastNumber = text;
    }
    void SetOperatorText(const std::string& text) override {
        Require(IsPendingOperator(text), "the operator text is an operator", text);
        Operator = text;
    }

    const CalculatorEngine* Engine = nullptr;
    std::string Entry{InitialEntryText};
    std::string LastNumber{InitialLastNumberText};
    std::string Operator{InitialOperatorText};
};

bool IsDecimalDivisor(std::int32_t divisor) {
    return divisor == 0 || divisor == 10 || divisor == 100 || divisor == 1000 || divisor == 10000 ||
           divisor == 100000;
}

void CheckFields(const CalculatorEngine& engine, const CheckingDisplay& display,
                 const std::string& keys) {
    const std::int64_t entry = engine.Entry().Raw();
    Require(entry >= 0, "digits never make a negative entry", keys);
    Require(engine.EntryTyped() || entry == 0, "an entry is typed", keys);
    Require(!display.Entry.empty() || !engine.EntryTyped(), "a typed entry is shown", keys);
    Require(IsPendingOperator(engine.PendingOperator()), "PendingOperator is an operator", keys);
    Require(IsDecimalDivisor(engine.DecimalDivisor()), "DecimalDivisor is a place value", keys);
    if (engine.DecimalMode()) {
        Require(engine.DecimalDivisor() >= 10, "a comma sets DecimalDivisor", keys);
        // Only the decimal places already used may hold digits.
        Require(entry % (100000 / engine.DecimalDivisor()) == 0, "decimals fill in order", keys);
    } else {
        Require(entry % Currency::Scale == 0, "without a comma the entry is whole", keys);
    }
    const bool fresh = display.Operator == InitialOperatorText && engine.PendingOperator().empty();
    const bool error = display.Operator.empty() && engine.PendingOperator() == "=" &&
                       display.LastNumber == ErrorText;
    Require(display.Operator == engine.PendingOperator() || fresh || error,
            "the operator text shows PendingOperator", keys);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    SetDecimalSeparator(data[0] == '.' ? '.' : ',');
    CheckingDisplay display;
    CalculatorEngine engine(display);
    display.Engine = &engine;

    std::string keys;
    for (std::size_t i = 1; i < size; ++i) {
        const char byte = static_cast<char>(data[i]);
        const char key = KeyCharacters.find(byte) != std::string_view::npos
                             ? byte
                             : KeyCharacters[data[i] % KeyCharacters.size()];
        keys += key;
        engine.ProcessKey(KeyText(1, key));
        CheckFields(engine, display, keys);
    }
    return 0;
}
