// Which failures of the system's registry and file functions a later try may overcome.
#include <windows.h>

#include <stdexcept>

#include "Win32Stores.h"

bool IsPassingFailure(unsigned long error) {
    switch (error) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_BUSY:
        case ERROR_RETRY:
        case ERROR_KEY_DELETED:
        case ERROR_TOO_MANY_OPEN_FILES:
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
        case ERROR_NO_SYSTEM_RESOURCES:
        case ERROR_WORKING_SET_QUOTA:
            return true;
        default:
            return false;
    }
}

void ThrowStoreFailure(const std::string& what, unsigned long error) {
    const std::string message = what + " (error " + std::to_string(error) + ")";
    if (IsPassingFailure(error)) {
        throw StoreBusy(message);
    }
    throw std::runtime_error(message);
}
