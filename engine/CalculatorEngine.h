#pragma once
// The calculator's state machine: immediate execution of four functions without precedence
// (2 + 3 x 4 = gives 20), driven by one KeyText at a time and writing the three display texts.
// It knows nothing of windows, keyboards or the locale.

#include <cstdint>
#include <string>

#include "CalculatorDisplay.h"
#include "Currency.h"
#include "KeyText.h"

class CalculatorEngine {
public:
    explicit CalculatorEngine(CalculatorDisplay& display);

    // Applies one key and writes the display texts it changes. A text that is not a key is read
    // as a digit by TextToAmount, which throws ConversionError for it.
    void ProcessKey(const KeyText& k);
    // Makes a whole amount the entry, as if its digits had been typed: after "=" it starts a
    // new calculation, and digits typed next carry on after its last decimal.
    void EnterAmount(Currency amount);

    // "", "+", "-", "x", ":" or "=": the operator that will fold the entry into the last number.
    const KeyText& PendingOperator() const { return pendingOperator_; }
    Currency LastNumber() const { return lastNumber_; }
    Currency Entry() const { return entry_; }
    // A comma was pressed for the current entry.
    bool DecimalMode() const { return decimalMode_; }
    // Place value of the next decimal digit: 10 for the first, 100 for the second and so on.
    std::int32_t DecimalDivisor() const { return decimalDivisor_; }
    // A digit or the comma was pressed since the last operator, "C", "A" or error. Only a typed
    // entry is folded, so 5 + - 3 = replaces the operator and gives 2, yet 5 x 0 = gives 0.
    bool EntryTyped() const { return entryTyped_; }

private:
    enum class FoldOutcome { Folded, Failed };

    // Folds Entry into LastNumber by PendingOperator and shows the last number; Failed when
    // the result lies outside the range or divides by zero, with nothing changed.
    FoldOutcome ApplyPendingOperation();
    void ShowError();
    void StartNewCalculationAfterResult();
    void AppendDigit(Currency digit);

    CalculatorDisplay& display_;
    KeyText pendingOperator_;
    Currency lastNumber_;
    Currency entry_;
    bool decimalMode_ = false;
    std::int32_t decimalDivisor_ = 0;
    bool entryTyped_ = false;
};
