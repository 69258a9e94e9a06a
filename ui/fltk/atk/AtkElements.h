#pragma once
// The calculator as ATK objects: the application, its frame and one object per form element,
// push buttons and labels, and while it is open the popup menu with its items. They are views:
// names, states and places are read from the window each time a screen reader asks, and the tree
// only turns the window's news into ATK signals.

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

    // What the window told: an element's name (and a text's text) changed; a text is to be
    // said once for the element, as an announcement where the reader listens for them, else
    // through the name of the element it is on; the program became active or lost the
    // foreground with the reader on this element; the form is gone, so every object is defunct
    // from now on.
    void NameChanged(std::size_t index);
    void Say(std::size_t index, const std::string& text, bool announcements);
    void Focused(std::size_t index);
    void FocusLost(std::size_t index);
    // The popup menu opened with these items, the first one chosen; it closed again.
    void MenuShown(const std::vector<std::string>& items);
    void MenuClosed();
    void FormGone();
    bool Defunct() const { return defunct_; }

    // For the objects' own methods.
    AccessibleWindow& Window() { return window_; }
    AtkObject* Frame() const { return frame_; }
    AtkObject* Element(std::size_t index) const;
    std::size_t ElementCount() const { return elements_.size(); }
    // The open popup menu, or nullptr, and its items.
    AtkObject* Menu() const { return menu_; }
    AtkObject* MenuItem(std::size_t index) const;
    std::size_t MenuItemCount() const { return menuItems_.size(); }
    const char* MenuItemName(std::size_t index) const;
    // The name a reader is given, which for the display is empty but while a text passes
    // through it: the display says what it shows as its text, and only once.
    std::string SpokenName(std::size_t index);
    // Kept here so that the pointers ATK hands out stay valid until the next question.
    const char* KeepName(std::size_t index, std::string name);
    const char* KeepDescription(std::size_t index, std::string description);
    const char* KeepAction(std::size_t index, std::string action);
    const char* KeepShortcut(std::size_t index, std::string shortcut);
    const char* Title();

private:
    void NotifyName(std::size_t index);

    AccessibleWindow& window_;
    AtkObject* application_ = nullptr;
    AtkObject* frame_ = nullptr;
    std::vector<AtkObject*> elements_;
    std::string title_;
    std::vector<std::string> names_;
    std::vector<std::string> descriptions_;
    std::vector<std::string> actions_;
    std::vector<std::string> shortcuts_;
    // What each text's text was when a screen reader was last told, for the removal signal.
    std::vector<std::string> texts_;
    // What passes through the display's name while it is told.
    std::string passing_;
    AtkObject* menu_ = nullptr;
    std::vector<AtkObject*> menuItems_;
    std::vector<std::string> menuCaptions_;
    bool defunct_ = false;
};
