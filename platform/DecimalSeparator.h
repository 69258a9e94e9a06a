#pragma once
// The separators of the user's regional settings, read at start and again when they change: the
// decimal separator for the engine, the thousands separator for reading pasted amounts.

#include <string>

// The first character of the user's decimal separator, "." when the settings give none the
// engine can use.
char ReadUserDecimalSeparator();

// The user's thousands separator as UTF-8, empty when the settings give none or one that is not
// a single character.
std::string ReadUserThousandsSeparator();
