#pragma once
// The key event listeners ATK's toolkit keeps: the bridge registers one when it starts and
// forwards each key to the accessibility registry, which asks the screen reader whether the
// key is its own command. The program hands every key press and release here before it acts
// on the key.

#include <atk/atk.h>

#include "AccessibleWindow.h"

// The AtkUtil methods that keep the listeners.
guint AddKeyEventListener(AtkKeySnoopFunc listener, gpointer data);
void RemoveKeyEventListener(guint listener);

// Offers the key to every listener, in the order they came; true when one consumed it.
bool OfferKey(const ReaderKey& key);
