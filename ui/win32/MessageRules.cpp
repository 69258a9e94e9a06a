// The window-free decisions of the calculator window; see MessageRules.h.
#include "MessageRules.h"

namespace {

constexpr FormTimer FormTimers[] = {FormTimer::Close, FormTimer::HintShow, FormTimer::HintHide};

}  // namespace

bool IsCaptureLoss(bool releasedByForm, bool takenBySameWindow) {
    return !releasedByForm && !takenBySameWindow;
}

int MenuItemIndex(std::uintptr_t command, std::size_t itemCount) {
    if (command == 0 || command > itemCount) {
        return -1;
    }
    return static_cast<int>(command - 1);
}

std::uintptr_t MenuCommand(std::size_t index) {
    return index + 1;
}

std::uintptr_t TimerId(FormTimer timer) {
    return static_cast<std::uintptr_t>(timer) + 1;
}

std::optional<FormTimer> FormTimerOf(std::uintptr_t id) {
    for (const FormTimer timer : FormTimers) {
        if (TimerId(timer) == id) {
            return timer;
        }
    }
    return std::nullopt;
}

std::optional<char32_t> ShortcutLetter(std::uintptr_t virtualKey, bool controlHeld) {
    if (!controlHeld || virtualKey < 'A' || virtualKey > 'Z') {
        return std::nullopt;
    }
    return static_cast<char32_t>(virtualKey - 'A' + 'a');
}
