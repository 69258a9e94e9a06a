#pragma once
// A display for engine tests: it keeps the three texts as the window would show them, starting
// from the initial captions, and logs every call in order.

#include <string>
#include <vector>

#include "CalculatorDisplay.h"

class RecordingDisplay : public CalculatorDisplay {
public:
    void SetEntryText(const std::string& text) override {
        Entry = text;
        Calls.push_back("entry '" + text + "'");
    }
    void SetLastNumberText(const std::string& text) override {
        LastNumber = text;
        Calls.push_back("last '" + text + "'");
    }
    void SetOperatorText(const std::string& text) override {
        Operator = text;
        Calls.push_back("operator '" + text + "'");
    }

    std::string Entry{InitialEntryText};
    std::string LastNumber{InitialLastNumberText};
    std::string Operator{InitialOperatorText};
    std::vector<std::string> Calls;
};
