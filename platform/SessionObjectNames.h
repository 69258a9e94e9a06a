#pragma once
// The session objects the calculator and the host agree on. The host creates the close signal
// with this very spelling, so it lives in one place for the program and its stand-in.

// Held by a running calculator for its whole life; a second start that finds it ends at once.
inline constexpr const char* CalculatorActiveName = "TembraLidornCalcActive";
// Raised by the host to make a running calculator close.
inline constexpr const char* CloseSignalName = "TembraLidornCalcClose";
// Held by every calculator process from its start to its very end, also while a closed
// calculator still finishes writing its position, so that a host can wait until none is left
// that keeps the program's file in use.
inline constexpr const char* CalculatorProcessName = "TembraLidornCalcProcess";
