// ProcessKey reads top to bottom as the key's steps: operator keys fold and stop, every other key
// changes the entry and ends by showing it.

#include "CalculatorEngine.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "AmountText.h"
#include "WideInteger.h"

namespace {

constexpr std::array<std::string_view, 5> OperatorKeys = {"+", "-", "x", ":", "="};

bool IsOperator(const KeyText& k) {
    return std::find(OperatorKeys.begin(), OperatorKeys.end(), k) != OperatorKeys.end();
}

// (entry x multiplier + digit) / divisor computed exactly as a whole, so only the final value
// has to fit the range: 100000000000000,5 can be typed, though its intermediate entry x 10 cannot.
// A digit extends a pasted negative entry away from zero, as it extends a positive one.
std::optional<Currency> ExtendedEntry(Currency entry, std::int64_t multiplier, Currency digit,
                                      std::int64_t divisor) {
    const std::int64_t signedDigit = entry.Raw() < 0 ? -digit.Raw() : digit.Raw();
    return Currency::FromWide(
        WideInteger::Product(entry.Raw(), multiplier).Plus(signedDigit).DividedBy(divisor));
}

}  // namespace

CalculatorEngine::CalculatorEngine(CalculatorDisplay& display) : display_(display) {}

void CalculatorEngine::ProcessKey(const KeyText& k) {
    if (IsOperator(k)) {
        if (entryTyped_ && ApplyPendingOperation() == FoldOutcome::Failed) {
            ShowError();
            return;
        }
        pendingOperator_ = k;
        display_.SetOperatorText(k);
        decimalMode_ = false;
        entry_ = Currency();
        entryTyped_ = false;
        display_.SetEntryText("");
        return;
    }

    if (k == "A") {
        display_.SetLastNumberText("");
        display_.SetOperatorText("");
        pendingOperator_.clear();
        decimalMode_ = false;
        entry_ = Currency();
        lastNumber_ = Currency();
        entryTyped_ = false;
    } else if (k == "C") {
        decimalMode_ = false;
        entry_ = Currency();
        entryTyped_ = false;
    } else if (k == ",") {
        // The entry text shows no comma until a decimal digit follows: 1 , still shows 1.
        if (!decimalMode_) {
            decimalMode_ = true;
            decimalDivisor_ = 10;
        }
        entryTyped_ = true;
    } else {
        StartNewCalculationAfterResult();
        AppendDigit(TextToAmount(k));
        entryTyped_ = true;
    }
    display_.SetEntryText(CurrencyToText(entry_));
}

void CalculatorEngine::EnterAmount(Currency amount) {
    StartNewCalculationAfterResult();
    entry_ = amount;
    entryTyped_ = true;
    // The decimals it shows are taken as typed, so a digit typed next lands after them.
    std::int64_t fraction = amount.Raw() % Currency::Scale;
    decimalMode_ = fraction != 0;
    decimalDivisor_ = Currency::Scale * 10;
    while (fraction != 0 && fraction % 10 == 0) {
        fraction /= 10;
        decimalDivisor_ /= 10;
    }
    display_.SetEntryText(CurrencyToText(entry_));
}

// A result is on display: start a new calculation. DecimalMode stays, so = , 5 enters 0,5. The
// old result goes too, or it would come back unseen once this entry is cleared: 2 + 3 = 7 C + 4 =
// gives 4, not 9.
void CalculatorEngine::StartNewCalculationAfterResult() {
    if (pendingOperator_ != "=") {
        return;
    }
    entry_ = Currency();
    lastNumber_ = Currency();
    pendingOperator_.clear();
    display_.SetLastNumberText("");
    display_.SetOperatorText("");
}

CalculatorEngine::FoldOutcome CalculatorEngine::ApplyPendingOperation() {
    std::optional<Currency> folded;
    if (pendingOperator_ == "+") {
        folded = Add(lastNumber_, entry_);
    } else if (pendingOperator_ == "-") {
        folded = Subtract(lastNumber_, entry_);
    } else if (pendingOperator_ == "x") {
        folded = Multiply(lastNumber_, entry_);
    } else if (pendingOperator_ == ":") {
        folded = Divide(lastNumber_, entry_);  // nothing for a typed zero
    } else {
        // The empty operator copies; so does "=", pending when = , was followed by an operator.
        folded = entry_;
    }
    if (!folded) {
        return FoldOutcome::Failed;
    }
    lastNumber_ = *folded;
    display_.SetLastNumberText(CurrencyToText(lastNumber_));
    return FoldOutcome::Folded;
}

// The next digit starts a new calculation as after "=", an operator carries on from 0.
void CalculatorEngine::ShowError() {
    lastNumber_ = Currency();
    entry_ = Currency();
    decimalMode_ = false;
    entryTyped_ = false;
    pendingOperator_ = KeyText("=");
    display_.SetLastNumberText(std::string(ErrorText));
    display_.SetOperatorText("");
    display_.SetEntryText("");
}

// A digit that would take the entry outside the range is ignored and keeps its decimal place
// free. Once the divisor has passed the last stored decimal it stays there: every further digit
// truncates away, however many are typed, and the divisor never overflows.
void CalculatorEngine::AppendDigit(Currency digit) {
    if (!decimalMode_) {
        entry_ = ExtendedEntry(entry_, 10, digit, 1).value_or(entry_);
        return;
    }
    const std::optional<Currency> extended =
        ExtendedEntry(entry_, decimalDivisor_, digit, decimalDivisor_);
    if (!extended) {
        return;
    }
    entry_ = *extended;
    if (decimalDivisor_ <= Currency::Scale) {
        decimalDivisor_ *= 10;
    }
}
