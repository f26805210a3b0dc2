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
  return ShowBuiltMessage(owner, FillPlaceholders(LoadLongString(textId), values), flags);
}

int ShowBuiltMessage(HWND owner, const std::string& text, UINT flags) {
  std::string caption = LoadLongString(kCaptionId);
  return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}
