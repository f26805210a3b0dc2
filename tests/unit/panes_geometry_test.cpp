#include <gtest/gtest.h>

#include "app/panes/column_drag.h"
#include "app/panes/entry_texts.h"
#include "app/panes/item_ref.h"
#include "app/panes/status_hints.h"

namespace {

HeaderCells DefaultCells(int right = 400) {
  HeaderCells cells;
  int b[5] = {0, 26, 126, 226, right};
  for (int i = 0; i < 5; ++i) cells.b[i] = b[i];
  return cells;
}

}  // namespace

TEST(ItemRefTest, PacksSlotAboveKindAndMasksTheSlot) {
  EXPECT_EQ(MakeItemRef(3, kGroupItem), 0x00030001u);
  EXPECT_EQ(MakeItemRef(0x12345, kPersonItem), 0x23450000u);
  EXPECT_EQ(ItemSlot(0xFFFF0001u), 0xFFFFu);
  EXPECT_EQ(ItemKindOf(0xFFFF0001u), 1u);
}

TEST(DragZonesTest, DefaultWidthsGiveTheTwoZones) {
  DragZones zones = ComputeDragZones(DefaultCells());
  EXPECT_EQ(zones.b2Left, 116);
  EXPECT_EQ(zones.b2Right, 136);  // up to but excluding
  EXPECT_EQ(zones.b3Left, 216);
  EXPECT_EQ(zones.b3Right, 236);
  EXPECT_EQ(DragForPress(zones, 115), DragState::None);
  EXPECT_EQ(DragForPress(zones, 116), DragState::MovingB2);
  EXPECT_EQ(DragForPress(zones, 135), DragState::MovingB2);
  EXPECT_EQ(DragForPress(zones, 136), DragState::None);
  EXPECT_EQ(DragForPress(zones, 235), DragState::MovingB3);
}

TEST(DragZonesTest, ClosedEmailColumnHasNoB2ZoneAndOverlapFavoursB2) {
  HeaderCells closed = DefaultCells();
  closed.b[3] = closed.b[2];
  DragZones zones = ComputeDragZones(closed);
  EXPECT_EQ(zones.b2Left, zones.b2Right);
  EXPECT_EQ(DragForPress(zones, 126), DragState::MovingB3);
  HeaderCells narrow = DefaultCells();
  narrow.b[3] = narrow.b[2] + 5;
  EXPECT_EQ(DragForPress(ComputeDragZones(narrow), 128), DragState::MovingB2);
}

TEST(ReleaseDragTest, MovingB2KeepsTheEmailWidthAndClamps) {
  HeaderCells right = ReleaseDrag(DefaultCells(), DragState::MovingB2, 156);
  EXPECT_EQ(right.b[2], 156);
  EXPECT_EQ(right.b[3], 256);
  EXPECT_EQ(right.b[4], 400);
  HeaderCells pastB1 = ReleaseDrag(DefaultCells(), DragState::MovingB2, 10);
  EXPECT_EQ(pastB1.b[2], 26);
  EXPECT_EQ(pastB1.b[3], 126);
  HeaderCells leftOfWindow = ReleaseDrag(DefaultCells(), DragState::MovingB2, -50);
  EXPECT_EQ(leftOfWindow.b[2], 26);
  HeaderCells farRight = ReleaseDrag(DefaultCells(), DragState::MovingB2, 390);
  EXPECT_EQ(farRight.b[3], 490);  // the memo column goes negative
}

TEST(ReleaseDragTest, MovingB3ClosesColumnsAndStopsAtB4) {
  HeaderCells pastB2 = ReleaseDrag(DefaultCells(), DragState::MovingB3, 100);
  EXPECT_EQ(pastB2.b[2], 100);
  EXPECT_EQ(pastB2.b[3], 100);
  HeaderCells pastB1 = ReleaseDrag(DefaultCells(), DragState::MovingB3, 20);
  EXPECT_EQ(pastB1.b[2], 26);
  EXPECT_EQ(pastB1.b[3], 26);
  HeaderCells pastB4 = ReleaseDrag(DefaultCells(), DragState::MovingB3, 500);
  EXPECT_EQ(pastB4.b[3], 400);
  HeaderCells leftOfWindow = ReleaseDrag(DefaultCells(), DragState::MovingB3, -3);
  EXPECT_EQ(leftOfWindow.b[2], 26);
  EXPECT_EQ(leftOfWindow.b[3], 26);
}

TEST(StatusHintsTest, ButtonsHaveTheirHintsAndOtherWindowsNone) {
  EXPECT_EQ(StatusHintString(181), 103);
  EXPECT_EQ(StatusHintString(184), 106);
  EXPECT_EQ(StatusHintString(189), 107);
  EXPECT_EQ(StatusHintString(188), 126);
  EXPECT_EQ(StatusHintString(190), 0);
  EXPECT_EQ(StatusHintString(0), 0);
  EXPECT_EQ(StatusHintKeyFor(184, true), 184);
  EXPECT_EQ(StatusHintKeyFor(189, false), 0);  // the recipient list shares id 189
}

TEST(EntryTextsTest, ReadsFieldsWithLeadingBlankAndSkipsAbsentRecords) {
  AddressStore store;
  store.persons = PersonTable{};
  store.persons->capacity = store.persons->used = 1;
  store.persons->slots.resize(1);
  CopyToField((*store.persons)[0].description, kTextFieldSize, "Ann");
  EntryTexts person = ReadEntryTexts(store, MakeItemRef(0, kPersonItem));
  EXPECT_TRUE(person.found);
  EXPECT_EQ(person.name, " Ann");
  EXPECT_EQ(person.email, " ");
  EXPECT_FALSE(ReadEntryTexts(store, MakeItemRef(1, kPersonItem)).found);
  EXPECT_FALSE(ReadEntryTexts(store, MakeItemRef(0, kGroupItem)).found);
}
