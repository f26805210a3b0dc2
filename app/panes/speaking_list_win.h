// The program's person lists as a screen reader and the keyboard meet them: one accessible object
// for every owner-drawn list of ItemRefs, type-ahead, and the events readers listen for.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a list's owner tells about it; every text is read from the records when it is asked.
struct ListSpeech {
  std::string (*listName)(HWND list);
  std::string (*itemName)(uint32_t itemData);         // the line's texts, as a reader says them
  // The description type-ahead compares, read in place: it must stay valid while the list is
  // searched (the records do not change then).
  std::string_view (*itemDescription)(uint32_t itemData);
  bool opensOnDoubleClick;  // the items' default action "Open" is what a double click does
};

// Makes the list answer screen readers and take type-ahead; `speech` must outlive the list.
void MakeListSpeak(HWND list, const ListSpeech& speech);

// Selects only the item at `position` and puts the caret on it, with the notifications of a
// plain click (the owner's selection change, the reader's focus and selection events).
void SelectAloneAsClick(HWND list, int position);

// The list's items as its reader mirror holds them (read again only when out of step): cheaper
// than asking the list item by item.
std::vector<uint32_t> SpokenListItems(HWND list);
// Tells readers how the list's selection changed since they last heard of it (the one item
// selected alone, up to 20 items added or removed, or a change within the list); nothing when
// it did not. The list's own keys and clicks are followed already: call it after changing the
// selection by program.
void NotifySelectionChanged(HWND list);

// A string-table text in the current language.
std::string LocalizedText(UINT id);

// The name a list takes from the static text just before it in its dialog, without "&".
std::string LabelBefore(HWND control);

// Tells readers that the line holding `itemData` in the list now reads differently.
void NotifyItemRenamed(HWND list, uint32_t itemData);
