// The form as a screen reader finds it: the controls named in its accessible order, their
// roles, spoken names and places, and a press that takes a click's route; see Form.h.
#include "Form.h"

AccessibleElement Form::Accessible(std::size_t index) const {
    const Control& control = ControlNamed(AccessibleOrder.at(index));
    return {.Role = control.Kind == ControlKind::Label ? AccessibleRole::StaticText
                                                       : AccessibleRole::PushButton,
            .Name = SpokenName(control),
            .Description = control.AccessibleDescription.empty() ? control.Hint
                                                                 : control.AccessibleDescription,
            .Bounds = control.Bounds};
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
    return std::nullopt;
}

std::optional<std::size_t> Form::AccessibleFocusIndex() const {
    return AccessibleIndexOf(AccessibleFocus);
}

bool Form::PressAccessible(std::size_t index) {
    Control& control = ControlNamed(AccessibleOrder.at(index));
    if (control.Kind == ControlKind::Label || !control.OnClick) {
        return false;
    }
    control.OnClick();
    return true;
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
