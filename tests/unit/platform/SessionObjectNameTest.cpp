// The naming rule that both platforms apply to named session objects.

#include <gtest/gtest.h>

#include <string>

#include "SessionObjectName.h"

TEST(IsValidSessionObjectName, AcceptsOrdinaryNamesAndRefusesWhatWouldEscapeOrTruncate) {
    struct Case {
        std::string Name;
        bool Valid;
    };
    const Case cases[] = {
        {"TembraLidornCalcActive", true},
        {"TembraLidornCalcClose", true},
        {"x", true},
        {".", true},
        {"..", true},
        {"with space", true},
        {"\xc3\x9c"
         "berweisung",
         true},
        {std::string(MaxSessionObjectNameLength, 'n'), true},
        {std::string(MaxSessionObjectNameLength + 1, 'n'), false},
        {"", false},
        {"a/b", false},
        {"/", false},
        {"Global\\TembraLidornCalcActive", false},
        {std::string("cut\0off", 7), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidSessionObjectName(c.Name), c.Valid)
            << "name \"" << c.Name << "\" (" << c.Name.size() << " bytes)";
    }
}
