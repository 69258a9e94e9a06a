// The calculator's spoken messages; see SpokenMessages.h. Short, as a reader says them after
// the key's own echo, with the number last so that it is heard as the word that matters.
#include "SpokenMessages.h"

std::string RefusedDigitMessage() {
    return "Keine weitere Ziffer";
}

std::string CopiedMessage(const std::string& number) {
    return "Kopiert: " + number;
}

std::string PastedMessage(const std::string& number) {
    return "Eingef\xC3\xBCgt: " + number;
}

std::string RefusedPasteMessage() {
    return "Keine Zahl zum Einf\xC3\xBCgen";
}

std::string ClearedMessage(const std::string& number) {
    return "Gel\xC3\xB6scht, " + number;
}

std::string ErrorMessage() {
    return "Fehler, nicht berechenbar";
}
