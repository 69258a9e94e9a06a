// The program's entry point on Windows: a GUI program that reads no command line.
#include <windows.h>

#include "RunRechner.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunRechner();
}
