// The program's entry point on POSIX systems.
#include "RunRechner.h"

int main() {
    return RunRechner();
}
