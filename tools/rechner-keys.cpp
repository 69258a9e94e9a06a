// rechner-keys: plays key sequences on the calculator engine, for scripts and for checking
// results without the window.
//
//   rechner-keys [--separator CHAR] < keys
//
// Each line of standard input is one sequence in the key alphabet (0-9 , + - x : = C A), played
// on a fresh engine. After the line's last key the three display texts are printed as
// last-number<TAB>operator<TAB>entry; an empty line prints the texts of a fresh display. The
// decimal separator comes from the user's locale unless given. A line with any other character
// stops the run, after the lines before it were printed, with a message naming the character and
// the line, and exit status 2.

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "AmountText.h"
#include "CalculatorDisplay.h"
#include "CalculatorEngine.h"
#include "DecimalSeparator.h"
#include "KeyText.h"

namespace {

constexpr int BadInputStatus = 2;

// The three texts as the window's labels would show them.
class TextDisplay : public CalculatorDisplay {
public:
    void SetEntryText(const std::string& text) override { Entry = text; }
    void SetLastNumberText(const std::string& text) override { LastNumber = text; }
    void SetOperatorText(const std::string& text) override { Operator = text; }

    std::string Entry{InitialEntryText};
    std::string LastNumber{InitialLastNumberText};
    std::string Operator{InitialOperatorText};
};

// The separator from the command line, the locale's without one, nothing for a bad command line.
std::optional<char> SeparatorFromArguments(int argc, char** argv) {
    if (argc == 1) {
        return ReadUserDecimalSeparator();
    }
    if (argc == 3 && std::string_view(argv[1]) == "--separator") {
        const std::string_view separator = argv[2];
        // A digit or a blank would make the printed amounts ambiguous.
        if (separator.size() == 1 && separator[0] > ' ' && separator[0] < 0x7f &&
            !(separator[0] >= '0' && separator[0] <= '9')) {
            return separator[0];
        }
    }
    return std::nullopt;
}

std::string CodeText(const char* format, std::uint32_t code) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned>(code));
    return buffer;
}

// The character at the start of text, as a reader can find it: printable ASCII quoted, other
// characters also by code point, and a byte that starts no UTF-8 character by its value.
std::string DescribeCharacter(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    if (lead >= 0x20 && lead < 0x7f) {
        return "'" + std::string(1, text.front()) + "'";
    }
    if (lead < 0x80) {
        return CodeText("U+%04X", lead);
    }
    const std::string byteText = CodeText("byte 0x%02X", lead);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return byteText;
    }
    if (text.size() < length) {
        return byteText;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto continuation = static_cast<unsigned char>(text[i]);
        if ((continuation & 0xC0u) != 0x80u) {
            return byteText;
        }
        code = (code << 6) | (continuation & 0x3Fu);
    }
    return "'" + std::string(text.substr(0, length)) + "' (" + CodeText("U+%04X", code) + ")";
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<char> separator = SeparatorFromArguments(argc, argv);
    if (!separator) {
        std::cerr << "usage: rechner-keys [--separator CHAR] < keys\n";
        return BadInputStatus;
    }
    SetDecimalSeparator(*separator);

    std::string line;
    for (long lineNumber = 1; std::getline(std::cin, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();  // a line ended the Windows way
        }
        const std::size_t bad = line.find_first_not_of(KeyCharacters);
        if (bad != std::string::npos) {
            std::cout.flush();
            std::cerr << "rechner-keys: line " << lineNumber << ": "
                      << DescribeCharacter(std::string_view(line).substr(bad)) << " is not a key\n";
            return BadInputStatus;
        }
        TextDisplay display;
        CalculatorEngine engine(display);
        for (const char key : line) {
            engine.ProcessKey(KeyText(1, key));
        }
        std::cout << display.LastNumber << '\t' << display.Operator << '\t' << display.Entry
                  << '\n';
    }
    return 0;
}
