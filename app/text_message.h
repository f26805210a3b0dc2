// Message boxes whose text from the string table carries values (paths, the system's words),
// and so may be longer than MessageBoxById's 256 bytes. Caption 101 "Address Book".
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

// The string-table text `id` of the language's set, up to 1,023 characters.
std::string LoadLongString(UINT id);

// Shows the text with the values in its "%s" places; the MessageBox result.
int ShowTextMessage(HWND owner, UINT textId, std::initializer_list<std::string_view> values, UINT flags);

// Shows a text already built, however long.
int ShowBuiltMessage(HWND owner, const std::string& text, UINT flags);
