// The program's entry point on POSIX systems.
#include "CloseRequests.h"
#include "RunRechner.h"

int main() {
    // Before anything else: a signal during the start closes the calculator as one later does,
    // instead of ending it wherever it stands.
    HoldBackEndingSignals();
    return RunRechner();
}
