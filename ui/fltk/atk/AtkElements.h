#pragma once
// The calculator as ATK objects: the application, its frame and one object per form element,
// push buttons and labels. They are views: names, states and places are read from the window
// each time a screen reader asks, and the tree only turns the window's news into ATK signals.

#include <atk/atk.h>

#include <string>
#include <vector>

#include "AccessibleWindow.h"

class AtkElementTree {
public:
    explicit AtkElementTree(AccessibleWindow& window);
    ~AtkElementTree();
    AtkElementTree(const AtkElementTree&) = delete;
    AtkElementTree& operator=(const AtkElementTree&) = delete;

    // The application object, which holds the frame.
    AtkObject* Root() const { return application_; }

    // A display text now says something else: its name and its text changed.
    void NameChanged(std::size_t index);
    // The program became active, and the screen reader is on this element.
    void Focused(std::size_t index);
    void Deactivated(std::size_t focusIndex);

    // For the objects' own methods.
    AccessibleWindow& Window() { return window_; }
    AtkObject* Frame() const { return frame_; }
    AtkObject* Element(std::size_t index) const;
    std::size_t ElementCount() const { return elements_.size(); }
    // Kept here so that the pointers ATK hands out stay valid until the next question.
    const char* KeepName(std::size_t index, std::string name);
    const char* KeepDescription(std::size_t index, std::string description);
    const char* Title();

private:
    AccessibleWindow& window_;
    AtkObject* application_ = nullptr;
    AtkObject* frame_ = nullptr;
    std::vector<AtkObject*> elements_;
    std::string title_;
    std::vector<std::string> names_;
    std::vector<std::string> descriptions_;
    // What each label's text was when a screen reader was last told, for the removal signal.
    std::vector<std::string> texts_;
};
