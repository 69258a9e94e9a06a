// The screen-reader library: the calculator's ATK objects announced on the accessibility bus
// through the at-spi2-atk bridge. The program loads it only when the session's accessibility
// bus is enabled, and calls RechnerOpenAccessibility; afterwards it serves GLib's default main
// context, on which the bridge talks to the bus, from its own event loop, and offers it every
// key first.
//
// Without a toolkit of its own, the library answers what ATK asks a toolkit: the root object,
// the toolkit's name, the global event listeners through which the bridge hears every ATK
// signal and forwards it to the bus, and the key listeners through which the screen reader
// hears every key.
#include <atk-bridge.h>
#include <atspi/atspi.h>

#include <map>
#include <memory>
#include <string>

#include "AccessibleWindow.h"
#include "AnnouncementListeners.h"
#include "AtkElements.h"
#include "KeyListeners.h"
#include "MainContextServer.h"
#include "RegistryKeystrokes.h"

namespace {

// What atk_get_root answers: the application object of the bridge that lives, if any.
AtkObject* currentRoot = nullptr;

// Each listener's emission hook, by the number handed to the bridge, with its signal.
std::map<guint, guint>& ListenerSignals() {
    static std::map<guint, guint> signals;
    return signals;
}

AtkObject* GetRoot() {
    return currentRoot;
}

const gchar* GetToolkitName() {
    return "FLTK";
}

const gchar* GetToolkitVersion() {
    return "1.3";
}

// The bridge names the signals it follows "Toolkit:Type:signal" ("Gtk:AtkObject:property-
// change"); a signal of a type that does not exist here is not followed.
guint AddGlobalEventListener(GSignalEmissionHook listener, const gchar* eventType) {
    try {
        const std::string name = eventType;
        const auto first = name.find(':');
        const auto second = name.find(':', first == std::string::npos ? first : first + 1);
        if (second == std::string::npos) {
            return 0;
        }
        const std::string typeName = name.substr(first + 1, second - first - 1);
        const GType type = g_type_from_name(typeName.c_str());
        const guint signal = type != 0 ? g_signal_lookup(name.c_str() + second + 1, type) : 0;
        if (signal == 0) {
            return 0;
        }
        const auto hook =
            static_cast<guint>(g_signal_add_emission_hook(signal, 0, listener, nullptr, nullptr));
        ListenerSignals()[hook] = signal;
        return hook;
    } catch (...) {
        return 0;
    }
}

void RemoveGlobalEventListener(guint hook) {
    if (const auto found = ListenerSignals().find(hook); found != ListenerSignals().end()) {
        g_signal_remove_emission_hook(found->second, hook);
        ListenerSignals().erase(found);
    }
}

void AnswerAsToolkit() {
    // The class stays referenced: ATK asks it for the rest of the process.
    auto* util = static_cast<AtkUtilClass*>(g_type_class_ref(ATK_TYPE_UTIL));
    util->get_root = GetRoot;
    util->get_toolkit_name = GetToolkitName;
    util->get_toolkit_version = GetToolkitVersion;
    util->add_global_event_listener = AddGlobalEventListener;
    util->remove_global_event_listener = RemoveGlobalEventListener;
    util->add_key_event_listener = AddKeyEventListener;
    util->remove_key_event_listener = RemoveKeyEventListener;
}

class AtkBridge final : public AccessibilityBridge {
public:
    explicit AtkBridge(AccessibleWindow& window) : tree_(window) { currentRoot = tree_.Root(); }

    ~AtkBridge() override {
        listeners_.reset();
        if (started_) {
            atk_bridge_adaptor_cleanup();
        }
        currentRoot = nullptr;
    }

    AtkBridge(const AtkBridge&) = delete;
    AtkBridge& operator=(const AtkBridge&) = delete;

    // Registers the application with the accessibility bus's registry; false when the bus
    // cannot be reached.
    bool Start() {
        // Before the bridge, which keeps the registry's signals to itself once it hears them.
        listeners_ = std::make_unique<AnnouncementListeners>(atspi_get_a11y_bus());
        started_ = atk_bridge_adaptor_init(nullptr, nullptr) == 0;
        if (started_) {
            keystrokes_ = std::make_unique<RegistryKeystrokes>(atspi_get_a11y_bus());
        }
        return started_;
    }

    void Changed(std::size_t element, AccessibleChange change) override {
        switch (change) {
            case AccessibleChange::Name:
                tree_.NameChanged(element);
                break;
            case AccessibleChange::Focus:
                tree_.Focused(element);
                break;
            case AccessibleChange::FocusLost:
                tree_.FocusLost(element);
                break;
            case AccessibleChange::Announce:
                // A reader echoes the keys typed; what a key completed it is told.
                if (const AccessibleElement shown = tree_.Window().Element(element);
                    shown.ShowsResult) {
                    Say(element, shown.Name);
                }
                break;
        }
    }

    void MenuShown(const std::vector<std::string>& items) override { tree_.MenuShown(items); }

    void MenuClosed() override { tree_.MenuClosed(); }

    void Say(std::size_t element, const std::string& message) override {
        tree_.Say(element, message, listeners_ && listeners_->Any());
    }

    void FormGone() override { tree_.FormGone(); }

    // While no reader listens for keystrokes at the registry, a key would only wait there for
    // nothing.
    bool KeyEvent(const ReaderKey& key) override {
        return started_ && keystrokes_->Listened() && OfferKey(key);
    }

    LoopWait ServeEvents() override { return loop_.Serve(); }

private:
    MainContextServer loop_;
    AtkElementTree tree_;
    std::unique_ptr<RegistryKeystrokes> keystrokes_;
    std::unique_ptr<AnnouncementListeners> listeners_;
    bool started_ = false;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) AccessibilityBridge* RechnerOpenAccessibility(
    AccessibleWindow* window) {
    try {
        AnswerAsToolkit();
        auto bridge = std::make_unique<AtkBridge>(*window);
        return bridge->Start() ? bridge.release() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
