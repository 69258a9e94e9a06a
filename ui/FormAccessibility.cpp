// The form as a screen reader finds it: the controls named in its accessible order with their
// roles, spoken names, keys and places, the display as a whole, which the reader is on, and a
// press that takes a click's route; see Form.h. The stacks translate these answers and tell
// what the form tells them, nothing of their own.
#include "Form.h"

namespace {

// The action of every key, as a person asks for it.
constexpr const char* PressAction =
    "Dr\xC3\xBC"
    "cken";

}  // namespace

AccessibleElement Form::Accessible(std::size_t index) const {
    const std::string& name = AccessibleOrder.at(index);
    if (name == Display.Name) {
        return {.Role = AccessibleRole::Display,
                .Name = Display.Text,
                .Description = Display.Description,
                .Bounds = Display.Bounds,
                .Focusable = true,
                .Focused = active_,
                .ShowsResult = Display.ShowsResult};
    }
    const Control& control = ControlNamed(name);
    const bool button = control.Kind != ControlKind::Label;
    return {.Role = button ? AccessibleRole::PushButton : AccessibleRole::StaticText,
            .Name = SpokenName(control),
            .Description = control.AccessibleDescription.empty() ? control.Hint
                                                                 : control.AccessibleDescription,
            .Bounds = control.Bounds,
            .Shortcut = control.AccessibleShortcut,
            .Action = button && control.OnClick ? PressAction : ""};
}

std::optional<std::size_t> Form::AccessibleAt(Point client) const {
    // The topmost control takes the point, as it takes a click; only an exposed one counts.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if (it->Kind != ControlKind::Picture && it->Bounds.Contains(client)) {
            if (const auto index = AccessibleIndexOf(it->Name)) {
                return index;
            }
        }
    }
    // Between its texts, the display itself.
    return Display.Bounds.Contains(client) ? AccessibleIndexOf(Display.Name) : std::nullopt;
}

std::optional<std::size_t> Form::AccessibleFocusIndex() const {
    return AccessibleIndexOf(Display.Name);
}

bool Form::PressAccessible(std::size_t index) {
    if (index >= AccessibleCount() || Accessible(index).Action.empty()) {
        return false;
    }
    ControlNamed(AccessibleOrder[index]).OnClick();
    return true;
}

void Form::ShowOnDisplay(const std::string& text, bool result, const std::string& message) {
    const bool changed = Display.Text != text;
    Display.Text = text;
    Display.ShowsResult = result;
    if (changed) {
        TellAccessible(Display.Name, AccessibleChange::Name);
    }
    if (!message.empty()) {
        Say(message);
    } else if (changed || result) {
        TellAccessible(Display.Name, AccessibleChange::Announce);
    }
}

void Form::Say(const std::string& message) {
    if (const auto index = AccessibleIndexOf(Display.Name)) {
        backend_.AccessibleMessage(*index, message);
    }
}

void Form::TellAccessible(const std::string& name, AccessibleChange change) {
    if (const auto index = AccessibleIndexOf(name)) {
        backend_.AccessibleChanged(*index, change);
    }
}

std::optional<std::size_t> Form::AccessibleIndexOf(const std::string& name) const {
    for (std::size_t index = 0; index < AccessibleOrder.size(); ++index) {
        if (AccessibleOrder[index] == name) {
            return index;
        }
    }
    return std::nullopt;
}

std::string Form::SpokenName(const Control& control) {
    if (control.Kind != ControlKind::Label) {
        return control.AccessibleName;
    }
    return control.SpokenCaption ? control.SpokenCaption(control.Caption) : control.Caption;
}
