#pragma once
// The two session objects the calculator and the host agree on. The host creates the close
// signal with this very spelling, so it lives in one place for the program and its stand-in.

// Held by a running calculator for its whole life; a second start that finds it ends at once.
inline constexpr const char* CalculatorActiveName = "TembraLidornCalcActive";
// Raised by the host to make a running calculator close.
inline constexpr const char* CloseSignalName = "TembraLidornCalcClose";
