#include "text/message_box.h"

#include "text/language_table.h"

namespace text {
namespace {

MessageBoxHandler& CurrentHandler() {
  static MessageBoxHandler handler;
  return handler;
}

}  // namespace

platform::MessageAnswer ShowMessage(const std::string& caption, const std::string& text,
                                    int32_t style) {
  const MessageBoxHandler& handler = CurrentHandler();
  return handler ? handler(caption, text, style) : platform::ShowMessageBox(caption, text, style);
}

void ShowError(const std::string& text) {
  ShowMessage(Lookup("Msg", "Error"), text, platform::kStyleError);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  MessageBoxHandler previous = std::move(CurrentHandler());
  CurrentHandler() = std::move(handler);
  return previous;
}

}  // namespace text
