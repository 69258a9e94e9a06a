// The naming rule for named session objects.

#include "SessionObjectName.h"

bool IsValidSessionObjectName(const std::string& name) {
    return !name.empty() && name.size() <= MaxSessionObjectNameLength &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}
