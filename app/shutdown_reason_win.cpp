#include "app/shutdown_reason.h"

#include <vector>

namespace {

using CreateReason = BOOL(WINAPI*)(HWND, LPCWSTR);
using DestroyReason = BOOL(WINAPI*)(HWND);

void* User32Call(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  return user32 ? reinterpret_cast<void*>(GetProcAddress(user32, name)) : nullptr;
}

std::wstring WideText(const std::string& text) {
  int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  if (length <= 0) return {};
  std::vector<wchar_t> wide(static_cast<size_t>(length));
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  return wide.data();
}

}  // namespace

ShutdownBlockReason::ShutdownBlockReason(HWND window, const std::string& reason) : window_(window) {
  auto create = reinterpret_cast<CreateReason>(User32Call("ShutdownBlockReasonCreate"));
  if (create) given_ = create(window_, WideText(reason).c_str()) != FALSE;
}

ShutdownBlockReason::~ShutdownBlockReason() {
  if (!given_) return;
  auto destroy = reinterpret_cast<DestroyReason>(User32Call("ShutdownBlockReasonDestroy"));
  if (destroy) destroy(window_);
}
