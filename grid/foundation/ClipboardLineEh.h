#pragma once
// The first line of the clipboard's text, as the editors paste it.
#include <string>

#include "platform/win/Windows.h"

// Opens the clipboard for Owner; Line is the text before the first line break (empty without
// text). False when the clipboard could not be opened.
bool ReadClipboardLineEh(HWND Owner, std::string& Line);
