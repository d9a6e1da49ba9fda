// The one way failures, questions and notices reach the user.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"

namespace text {

using MessageBoxHandler = std::function<platform::MessageAnswer(
    const std::string& caption, const std::string& text, int32_t style)>;

// Shows a message box through the current handler (the platform's boxes unless replaced).
platform::MessageAnswer ShowMessage(const std::string& caption, const std::string& text,
                                    int32_t style);

// The error box: caption ("Msg", "Error"), the given text, OK and the error icon.
void ShowError(const std::string& text);

// Replaces the handler (tests record the boxes instead of showing them); an empty handler
// restores the platform's. Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace text
