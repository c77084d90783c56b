// The message dialog: modal, the application title as caption, the text, no icon, one "OK" button,
// centred on the screen.
#pragma once

#include <string>

namespace ui {

void ShowMessage(const std::string& text);

}  // namespace ui
