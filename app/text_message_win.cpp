#include "app/text_message.h"

#include "app/message_text.h"
#include "app/settings.h"
#include "app/shell_state.h"

namespace {

constexpr int kLongTextSize = 1024;
constexpr UINT kCaptionId = 101;

}  // namespace

std::string LoadLongString(UINT id) {
  char text[kLongTextSize];
  LoadLocalString(g_shell.instance, id, text, sizeof(text));
  return text;
}

int ShowTextMessage(HWND owner, UINT textId, std::initializer_list<std::string_view> values, UINT flags) {
  std::string text = FillPlaceholders(LoadLongString(textId), values);
  std::string caption = LoadLongString(kCaptionId);
  return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}
