#pragma once
// Sets the process-wide decimal separator or conversion-message hook for one test and restores
// the previous state, so no test depends on another's setting.

#include <functional>
#include <utility>

#include "AmountText.h"

class ScopedDecimalSeparator {
public:
    explicit ScopedDecimalSeparator(char separator) : previous_(DecimalSeparator()) {
        SetDecimalSeparator(separator);
    }
    ~ScopedDecimalSeparator() { SetDecimalSeparator(previous_); }
    ScopedDecimalSeparator(const ScopedDecimalSeparator&) = delete;
    ScopedDecimalSeparator& operator=(const ScopedDecimalSeparator&) = delete;

private:
    char previous_;
};

class ScopedConversionMessageHook {
public:
    explicit ScopedConversionMessageHook(std::function<void()> hook) {
        SetConversionMessageHook(std::move(hook));
    }
    ~ScopedConversionMessageHook() { SetConversionMessageHook(nullptr); }
    ScopedConversionMessageHook(const ScopedConversionMessageHook&) = delete;
    ScopedConversionMessageHook& operator=(const ScopedConversionMessageHook&) = delete;
};
