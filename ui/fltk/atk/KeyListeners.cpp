// ATK's key event listeners; see KeyListeners.h.
#include "KeyListeners.h"

#include <map>
#include <utility>
#include <vector>

namespace {

struct Listener {
    AtkKeySnoopFunc Function;
    gpointer Data;
};

// By the number handed out, which also keeps them in the order they were added.
std::map<guint, Listener>& Listeners() {
    static std::map<guint, Listener> listeners;
    return listeners;
}

}  // namespace

guint AddKeyEventListener(AtkKeySnoopFunc listener, gpointer data) {
    static guint last = 0;
    if (listener == nullptr) {
        return 0;
    }
    Listeners()[++last] = {listener, data};
    return last;
}

void RemoveKeyEventListener(guint listener) {
    Listeners().erase(listener);
}

bool OfferKey(const ReaderKey& key) {
    std::string text = key.Text;
    AtkKeyEventStruct event{};
    event.type = key.Press ? ATK_KEY_EVENT_PRESS : ATK_KEY_EVENT_RELEASE;
    event.state = key.Modifiers;
    event.keyval = key.Symbol;
    event.length = static_cast<gint>(text.size());
    event.string = text.data();
    event.keycode = key.Code;
    event.timestamp = static_cast<guint32>(key.Time);
    // A listener waits for the registry's answer and serves the bus meanwhile, where another may
    // be added or removed: the ones present now are asked, each only while it is still there.
    std::vector<guint> present;
    for (const auto& [number, listener] : Listeners()) {
        present.push_back(number);
    }
    bool consumed = false;
    for (const guint number : present) {
        const auto found = Listeners().find(number);
        if (found != Listeners().end()) {
            const Listener listener = found->second;
            consumed = listener.Function(&event, listener.Data) != FALSE || consumed;
        }
    }
    return consumed;
}
