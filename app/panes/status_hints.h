// Status-bar hints: which button ids have a hint, and its string-table id.
#pragma once

// String id of the hint for a hint key (a button id), or 0 when the key has no text.
int StatusHintString(int hintKey);

// The hint key for a window under the pointer with this control id; `isHintButton` says the
// window is one of the toolbar or recipient-box buttons (other windows with the same id get 0).
int StatusHintKeyFor(int controlId, bool isHintButton);
