#pragma once
// The decimal separator of the user's regional settings, read at start and handed to the engine.

// The first character of the user's decimal separator, "." when the settings give none the
// engine can use.
char ReadUserDecimalSeparator();
