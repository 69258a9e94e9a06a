// Whether the calculator offers itself to screen readers: where the session bus is found, and
// what the accessibility bus's switches decide.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AccessibilityStatus.h"

TEST(SessionBusAddress, FoundAsLibdbusFindsItButNeverOneThatWouldStartABus) {
    struct Case {
        const char* Variable;
        const char* RuntimeDirectory;
        const char* Socket;  // the one path that is a socket, if any
        std::optional<std::string> Address;
    };
    const Case cases[] = {
        {"unix:path=/run/user/1000/bus", "/run/user/1000", nullptr, "unix:path=/run/user/1000/bus"},
        // The variable wins over the runtime directory's socket.
        {"unix:abstract=/tmp/dbus-x", "/run/user/1000", "/run/user/1000/bus",
         "unix:abstract=/tmp/dbus-x"},
        {nullptr, "/run/user/1000", "/run/user/1000/bus", "unix:path=/run/user/1000/bus"},
        {"", "/run/user/1000", "/run/user/1000/bus", "unix:path=/run/user/1000/bus"},
        {nullptr, "/tmp/my runtime,1", "/tmp/my runtime,1/bus",
         "unix:path=/tmp/my%20runtime%2c1/bus"},
        // No bus: no socket, no runtime directory, or one that is not an absolute path.
        {nullptr, "/run/user/1000", nullptr, std::nullopt},
        {nullptr, nullptr, nullptr, std::nullopt},
        {"", "", "/bus", std::nullopt},
        {nullptr, "run/user", "run/user/bus", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto isSocket = [&](const std::string& path) {
            return c.Socket != nullptr && path == c.Socket;
        };
        EXPECT_EQ(SessionBusAddress(c.Variable, c.RuntimeDirectory, isSocket), c.Address)
            << "variable " << (c.Variable ? c.Variable : "(unset)") << ", runtime directory "
            << (c.RuntimeDirectory ? c.RuntimeDirectory : "(unset)");
    }
}

TEST(EscapeBusAddressValue, ReservedAndNonAsciiBytesBecomePercentHex) {
    const std::pair<std::string, std::string> cases[] = {
        {"/run/user/1000/bus", "/run/user/1000/bus"},
        {"a-b_c.d\\e*f", "a-b_c.d\\e*f"},
        {"x=y;z,w%", "x%3dy%3bz%2cw%25"},
        {"Grüße", "Gr%c3%bc%c3%9fe"},
        {"", ""},
    };
    for (const auto& [value, escaped] : cases) {
        EXPECT_EQ(EscapeBusAddressValue(value), escaped) << value;
    }
}

TEST(AccessibilityStatus, EitherSwitchOnMeansAnAssistiveTechnologyListens) {
    struct Case {
        std::vector<std::pair<std::string, bool>> Updates;
        bool Wanted;
    };
    const Case cases[] = {
        {{}, false},
        {{{"IsEnabled", false}, {"ScreenReaderEnabled", false}}, false},
        {{{"IsEnabled", true}, {"ScreenReaderEnabled", false}}, true},
        {{{"IsEnabled", false}, {"ScreenReaderEnabled", true}}, true},
        // A change names only what changed; the other switch keeps its value.
        {{{"IsEnabled", false}, {"ScreenReaderEnabled", true}, {"IsEnabled", false}}, true},
        {{{"IsEnabled", true}, {"IsEnabled", false}}, false},
        // Properties other than the two switches decide nothing.
        {{{"Toolkit", true}, {"isenabled", true}}, false},
    };
    for (const Case& c : cases) {
        AccessibilityStatus status;
        std::string told;
        for (const auto& [property, value] : c.Updates) {
            status.Update(property, value);
            told += property + (value ? "=on " : "=off ");
        }
        EXPECT_EQ(status.Wanted(), c.Wanted) << "after " << told;
    }
}
