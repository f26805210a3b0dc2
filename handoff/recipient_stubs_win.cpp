// Placeholders until the recipient box lands.
#include "handoff/recipient_box.h"

LRESULT CALLBACK RecipientBoxProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
void AddSelectedRecipients() {}
void DropDeletedRecipients() {}
void UpdateRecipientControls() {}
void SendAddressesToHost(HWND) {}
