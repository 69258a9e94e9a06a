#pragma once
// The program's start-up order, the same on every platform; each platform's entry point only
// calls it.

// Runs the calculator until its window closes and returns the exit code.
int RunRechner();
