// Win32 entry points of the main window's panes: entry list, column header, toolbar, status bar.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/panes/item_ref.h"
#include "win/owner_drawn_items_win.h"

// Entry list
bool CreateEntryListResources(HWND mainWindow);
void SetEntryListFont(HWND entryList);
// Lets the list answer screen readers (its lines read from the records) and take type-ahead.
void MakeEntryListSpeak(HWND entryList);
void FillEntryList(HWND entryList);
// Empties the list, adds the items in order in one go, then shows it without activating it and
// repaints it at once (the start-up fill and the sorts).
// While the search box holds words, `items` is the whole list and the list shows its matches.
void ShowEntries(HWND entryList, const std::vector<uint32_t>& items);
// Shows what the search box lets through (every live entry when it holds no words).
void ShowNarrowedEntries(HWND entryList);
void InsertPersonItem(HWND entryList, int slot);
void InsertGroupItem(HWND entryList, int slot);
// InsertPersonItem for each slot in turn, as one bulk change: the last slot ends up first.
void InsertPersonItems(HWND entryList, const std::vector<uint32_t>& slots);
// An import's new persons and then its new groups, each to the top as the inserts above; while
// the search box holds words only those that match show.
void InsertImportedItems(HWND entryList, const std::vector<uint32_t>& persons, const std::vector<uint32_t>& groups);
// Entries changed or brought back while the search box holds words stay in view until the words
// change (nothing happens without words).
void KeepEntriesInView(const std::vector<ItemRef>& items);
// After an edit of the entry's record: repaints the entry list and the recipient list and tells
// screen readers that the entry's lines read differently.
void ShowEditedEntry(ItemRef item);
void MeasureEntryItem(MEASUREITEMSTRUCT* request);
void DrawEntryItem(const DRAWITEMSTRUCT* request);
void DrawColumnSeparators(HWND entryList);
void ReleaseEntryListResources();
HFONT EntryListFont();              // none when it could not be made
// COLOR_HIGHLIGHT and COLOR_HIGHLIGHTTEXT as read once when the entry list's resources were made.
SelectionColours EntryListSelectionColours();

// Column header ("InBoxItemClass")
LRESULT CALLBACK ColumnHeaderProc(HWND, UINT, WPARAM, LPARAM);
void UpdateDragZones();
HFONT ColumnHeaderFont();

// Toolbar ("ToolBarClass") and tooltips
LRESULT CALLBACK ToolbarProc(HWND, UINT, WPARAM, LPARAM);
bool AttachToolbarTooltips(HWND toolbar);
// Lets each toolbar button answer screen readers as the toolbar's push button for it.
void MakeToolbarButtonsSpeak();
void UpdateStatusHint(HWND underPointer);

// Status bar ("StatusWindowClass")
LRESULT CALLBACK StatusBarProc(HWND, UINT, WPARAM, LPARAM);
// A word shown while no button's hint is up, until the first hint replaces it.
void ShowStatusNote(const std::string& text);
