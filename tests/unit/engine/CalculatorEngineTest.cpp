// The engine driven by key sequences against a recording display: the worked sequences, the edge
// cases, the order of display calls, typed zeros, errors and the edges of the amount range.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "CalculatorEngine.h"
#include "RecordingDisplay.h"
#include "ScopedAmountSettings.h"

namespace {

// Each character of keys is one key.
void Play(CalculatorEngine& engine, const std::string& keys) {
    for (const char key : keys) {
        engine.ProcessKey(KeyText(1, key));
    }
}

// Keys and the last-number, operator and entry texts after the last of them.
struct Sequence {
    std::string keys;
    std::string lastNumber;
    std::string operatorText;
    std::string entry;
};

void ExpectTexts(const Sequence& sequence) {
    RecordingDisplay display;
    CalculatorEngine engine(display);
    Play(engine, sequence.keys);
    EXPECT_EQ(display.LastNumber, sequence.lastNumber) << "keys " << sequence.keys;
    EXPECT_EQ(display.Operator, sequence.operatorText) << "keys " << sequence.keys;
    EXPECT_EQ(display.Entry, sequence.entry) << "keys " << sequence.keys;
}

TEST(ProcessKey, WorkedSequences) {
    const ScopedDecimalSeparator comma(',');
    const Sequence sequences[] = {
        {"12+34=", "46", "=", ""},       {"7:2=", "3,5", "=", ""},  {"1:3=", "0,3333", "=", ""},
        {"3-5=", "-2", "=", ""},         {"2x3x4=", "24", "=", ""}, {"2+3x4=", "20", "=", ""},
        {"5+-3=", "2", "=", ""},         {"2=+3=", "5", "=", ""},   {"2+3=4", "", "", "4"},
        {"1,5x2=", "3", "=", ""},        {"12C3+4=", "7", "=", ""}, {"5+3A2=", "2", "=", ""},
        {"0,123456", "", " ", "0,1234"}, {"8+=", "8", "=", ""},
    };
    for (const Sequence& sequence : sequences) {
        ExpectTexts(sequence);
    }
}

TEST(ProcessKey, EdgeCases) {
    const ScopedDecimalSeparator comma(',');
    const Sequence sequences[] = {
        {"", "", " ", "0"},       {"=", "", "=", ""},
        {"1,,5", "", " ", "1,5"}, {"1,", "", " ", "1"},
        {"5+,", "5", "+", "0"},   {"5+C", "5", "+", "0"},
        {"5+", "5", "+", ""},     {"2+3=C", "5", "=", "0"},
        {"2+3=C7", "", "", "7"},  {"2+3=,", "5", "=", "0"},
        {"=,5", "", "", "0,5"},   {"0,123456789123", "", " ", "0,1234"},
        {"1,0", "", " ", "1"},    {"1,05", "", " ", "1,05"},
        {"-5=", "-5", "=", ""},   {"3-5=x2=", "-4", "=", ""},
        {"A", "", "", "0"},       {"007", "", " ", "7"},
    };
    for (const Sequence& sequence : sequences) {
        ExpectTexts(sequence);
    }
}

TEST(ProcessKey, TypedZeroIsAnEntry) {
    const ScopedDecimalSeparator comma(',');
    const Sequence sequences[] = {
        {"5x0=", "0", "=", ""},
        {"5x0+3=", "3", "=", ""},
        {"2+3=0+4=", "4", "=", ""},
        // A digit after "=" starts anew: the old result does not return once it is cleared.
        {"2+3=7C+4=", "4", "=", ""},
        {"2+3=7Cx4=", "0", "=", ""},
        {"5x,=", "0", "=", ""},
        // After "=" the comma is a typed entry of 0, folded as a copy.
        {"2=,+3=", "3", "=", ""},
        {"2=,=", "0", "=", ""},
        // Nothing typed: the operator is replaced, the result carried on.
        {"5+x3=", "15", "=", ""},
        {"5+3C=", "5", "=", ""},
    };
    for (const Sequence& sequence : sequences) {
        ExpectTexts(sequence);
    }
}

TEST(ProcessKey, FailedFoldShowsAnError) {
    const ScopedDecimalSeparator comma(',');
    const Sequence sequences[] = {
        {"9:0=", "Fehler", "", ""},
        {"9:0,00=", "Fehler", "", ""},
        {"9:0+", "Fehler", "", ""},
        {"922337203685477+1=", "Fehler", "", ""},
        {"922337203685477x10=", "Fehler", "", ""},
        {"922337203685477:0,1=", "Fehler", "", ""},
        {"0-922337203685477,5807-1=", "Fehler", "", ""},
        // After an error a digit starts anew, an operator carries on from 0, "A" clears.
        {"9:0=5+1=", "6", "=", ""},
        {"9:0=+5=", "5", "=", ""},
        {"9:0=-", "Fehler", "-", ""},
        {"9:0=C", "Fehler", "", "0"},
        {"9:0=A", "", "", "0"},
        {"9:0=7", "", "", "7"},
    };
    for (const Sequence& sequence : sequences) {
        ExpectTexts(sequence);
    }
}

TEST(ProcessKey, ResultsAreExactOverTheWholeRange) {
    const ScopedDecimalSeparator comma(',');
    const Sequence sequences[] = {
        {"99999999999x2=", "199999999998", "=", ""},
        {"100000000000:3=", "33333333333,3333", "=", ""},
        {"0-922337203685477,5807-0,0001=", "-922337203685477,5808", "=", ""},
        {"922337203685477,5807x1=", "922337203685477,5807", "=", ""},
        {"100000000000000,5", "", " ", "100000000000000,5"},
    };
    for (const Sequence& sequence : sequences) {
        ExpectTexts(sequence);
    }
}

TEST(ProcessKey, IgnoresDigitsThatWouldLeaveTheRange) {
    const ScopedDecimalSeparator comma(',');
    const Sequence sequences[] = {
        {"922337203685477", "", " ", "922337203685477"},
        {"9223372036854775", "", " ", "922337203685477"},
        {"999999999999999", "", " ", "99999999999999"},
        {"922337203685477,5807", "", " ", "922337203685477,5807"},
        // The ignored 8 leaves the fourth decimal place to the 7 after it.
        {"922337203685477,5808", "", " ", "922337203685477,58"},
        {"922337203685477,58087", "", " ", "922337203685477,5807"},
    };
    for (const Sequence& sequence : sequences) {
        ExpectTexts(sequence);
    }
}

TEST(ProcessKey, DecimalDivisorStopsPastTheFourthDecimal) {
    RecordingDisplay display;
    CalculatorEngine engine(display);
    Play(engine, "0,");
    const std::int32_t expected[] = {100, 1000, 10000, 100000, 100000, 100000};
    for (const std::int32_t divisor : expected) {
        Play(engine, "9");
        EXPECT_EQ(engine.DecimalDivisor(), divisor) << "after " << display.Entry;
    }
    Play(engine, std::string(1000, '9'));
    EXPECT_EQ(engine.DecimalDivisor(), 100000) << "after 1000 more decimal digits";
    EXPECT_EQ(engine.Entry().Raw(), 9999) << "after 1000 more decimal digits";
}

TEST(ProcessKey, KeepsItsFields) {
    struct Case {
        std::string keys;
        KeyText pendingOperator;
        std::int64_t lastNumber;
        std::int64_t entry;
        bool decimalMode;
        std::int32_t decimalDivisor;
        bool entryTyped;
    };
    const Case cases[] = {
        {"", "", 0, 0, false, 0, false},
        {"0", "", 0, 0, false, 0, true},
        {",", "", 0, 0, true, 10, true},
        {"1,5", "", 0, 15000, true, 100, true},
        {"1,5+", "+", 15000, 0, false, 100, false},
        {"5C", "", 0, 0, false, 0, false},
        {"5+3A", "", 0, 0, false, 0, false},
        {"9:0=", "=", 0, 0, false, 0, false},
        // A digit after "=" drops the old result; a comma keeps it on display with its "=".
        {"2+3=0", "", 0, 0, false, 0, true},
        {"2+3=,", "=", 50000, 0, true, 10, true},
    };
    for (const Case& c : cases) {
        RecordingDisplay display;
        CalculatorEngine engine(display);
        Play(engine, c.keys);
        EXPECT_EQ(engine.PendingOperator(), c.pendingOperator) << "keys " << c.keys;
        EXPECT_EQ(engine.LastNumber().Raw(), c.lastNumber) << "keys " << c.keys;
        EXPECT_EQ(engine.Entry().Raw(), c.entry) << "keys " << c.keys;
        EXPECT_EQ(engine.DecimalMode(), c.decimalMode) << "keys " << c.keys;
        EXPECT_EQ(engine.DecimalDivisor(), c.decimalDivisor) << "keys " << c.keys;
        EXPECT_EQ(engine.EntryTyped(), c.entryTyped) << "keys " << c.keys;
    }
}

TEST(ProcessKey, WritesTheDisplayInStepOrder) {
    const ScopedDecimalSeparator comma(',');
    struct Case {
        std::string before;
        char key;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"", '7', {"entry '7'"}},
        {"7", '+', {"last '7'", "operator '+'", "entry ''"}},
        {"", '+', {"operator '+'", "entry ''"}},
        {"2+3=", '4', {"last ''", "operator ''", "entry '4'"}},
        {"2+3=", 'C', {"entry '0'"}},
        {"2+3", 'A', {"last ''", "operator ''", "entry '0'"}},
        {"1", ',', {"entry '1'"}},
        {"9:0", '=', {"last 'Fehler'", "operator ''", "entry ''"}},
        {"922337203685477", '5', {"entry '922337203685477'"}},
    };
    for (const Case& c : cases) {
        RecordingDisplay display;
        CalculatorEngine engine(display);
        Play(engine, c.before);
        display.Calls.clear();
        engine.ProcessKey(KeyText(1, c.key));
        EXPECT_EQ(display.Calls, c.calls) << "keys " << c.before << " then " << c.key;
    }
}

TEST(ProcessKey, WritesAmountsWithTheCurrentSeparator) {
    const ScopedDecimalSeparator comma(',');
    RecordingDisplay display;
    CalculatorEngine engine(display);
    Play(engine, "1,5");
    EXPECT_EQ(display.Entry, "1,5") << "keys 1,5 with a comma";
    SetDecimalSeparator('.');
    Play(engine, "x1=");
    EXPECT_EQ(display.LastNumber, "1.5") << "keys 1,5 then x1= after switching to a point";
}

TEST(ProcessKey, RejectsATextThatIsNoKey) {
    const ScopedDecimalSeparator comma(',');
    RecordingDisplay display;
    CalculatorEngine engine(display);
    EXPECT_THROW(engine.ProcessKey("q"), ConversionError) << "key q";
    EXPECT_EQ(display.Calls, std::vector<std::string>{}) << "key q";
}

}  // namespace
