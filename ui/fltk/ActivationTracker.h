#pragma once
// Follows whether this program as a whole is the active application, from the X focus events
// of all its windows. Our own popup menu, tooltip and message boxes count as the program: a menu's
// keyboard grab is not a focus change, and a message box taking the focus keeps the program
// active.

#include <functional>
#include <optional>

enum class Activation { Active, Inactive };

class ActivationTracker {
public:
    // How long the focus must settle before it is read: a message box swaps the focus between
    // two of our windows, and the window manager sets it to nothing in between two windows.
    static constexpr double SettleSeconds = 0.05;

    // Must be constructed before the first window is shown: the first focus event can arrive
    // while the window maps.
    explicit ActivationTracker(std::function<void(Activation)> changed);
    ~ActivationTracker();
    ActivationTracker(const ActivationTracker&) = delete;
    ActivationTracker& operator=(const ActivationTracker&) = delete;

private:
    static int SystemEvent(void* event, void* tracker);
    static void Settled(void* tracker);

    std::function<void(Activation)> changed_;
    std::optional<Activation> current_;
};
