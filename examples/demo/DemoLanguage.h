#pragma once
// The demo speaks Chinese: the words of the platform's message boxes and dialogs, the names of
// our skins and the reasons a skin file is refused, in the demo's language.
#include <string>

// Sets the captions of message box and dialog buttons and the dialogs' titles.
void UseDemoLanguage();

// A skin loader's reason for refusing a file, as the demo says it; a reason it does not know
// is shown as the loader gave it.
std::string DemoSkinLoadError(const std::string& Reason);

// A skin's name as the skin menu says it: our two skins by the menu's words, another by its own.
std::string DemoSkinName(const std::string& SkinName);
