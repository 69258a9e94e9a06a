#pragma once
// The program's modal message box: the error (stop) icon, the text, one "OK" button and the given
// caption. It returns when the user has answered.

#include <string>

void ShowStopMessage(const std::string& text, const std::string& caption);
