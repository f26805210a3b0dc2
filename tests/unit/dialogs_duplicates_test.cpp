#include <gtest/gtest.h>

#include "dialogs/duplicate_merge.h"
#include "dialogs/duplicate_sets.h"
#include "dialogs/not_same.h"
#include "dialogs_test_store.h"
#include "store/indexes.h"
#include "store/name_rules.h"
#include "store_test_folder.h"

namespace {

const CodePage kWestern = SingleByteCodePage(1252);

std::vector<std::vector<uint32_t>> SetsOf(const AddressStore& store, const CodePage& page = kWestern) {
  std::vector<std::vector<uint32_t>> out;
  for (const auto& set : FindDuplicateSets(store, page)) out.push_back(set.persons);
  return out;
}

using Slots = std::vector<std::vector<uint32_t>>;

TEST(DuplicateRules, EmailIgnoresCaseSurroundingBlanksAndGooglemail) {
  AddressStore store;
  AddTestPerson(store, "A", " Ann.Lee@GoogleMail.com ");
  AddTestPerson(store, "B", "ann.lee@gmail.com");
  AddTestPerson(store, "C", "ann.lee@gmail.co");
  AddTestPerson(store, "D", "ann.lee@mail.googlemail.com");
  AddTestPerson(store, "E", "ann.lee@mail.gmail.com");
  EXPECT_EQ(SetsOf(store), (Slots{{0, 1}}));
  auto sets = FindDuplicateSets(store, kWestern);
  EXPECT_EQ(sets[0].reasons, static_cast<uint32_t>(kSameEmail));
}

TEST(DuplicateRules, DescriptionsFoldedWithoutPunctuationAndLastFirstTurned) {
  AddressStore store;
  AddTestPerson(store, "Ann Lee");
  AddTestPerson(store, "Lee, Ann");
  AddTestPerson(store, "  ann   LEE.");
  AddTestPerson(store, "Lee Ann");         // the order counts without a comma
  AddTestPerson(store, "Lee, Ann, Jr");    // two commas: no turning, only punctuation out
  AddTestPerson(store, "lee ann jr");
  EXPECT_EQ(SetsOf(store), (Slots{{0, 1, 2}, {4, 5}}));
  EXPECT_EQ(DescriptionKey("Lee,Ann", kWestern), "ann lee");
  EXPECT_EQ(DescriptionKey("O'Brien, Mary-Ann", kWestern), "maryann obrien");
  EXPECT_EQ(DescriptionKey(",", kWestern), "");
}

TEST(DuplicateRules, FirstAndLastPartsBothNeeded) {
  AddressStore store;
  AddTestPerson(store, "Annie", "", "Ann;Q;Lee", "");
  AddTestPerson(store, "A. Lee", "", "ann;;LEE", "");
  AddTestPerson(store, "Ann only", "", "Ann;;", "");
  AddTestPerson(store, "Ann too", "", "Ann;;", "");
  AddTestPerson(store, "Lee only", "", ";;Lee", "");
  EXPECT_EQ(SetsOf(store), (Slots{{0, 1}}));
}

TEST(DuplicateRules, EmptyTextsNeverMatchAndDeletedPersonsAreLeftOut) {
  AddressStore store;
  AddTestPerson(store, "...", "  ", ";;", "");
  AddTestPerson(store, "!", "", ";;", "");
  AddTestPerson(store, "Bo", "bo@x");
  AddTestPerson(store, "bo", "", "", "", 1);
  EXPECT_TRUE(SetsOf(store).empty());
}

TEST(DuplicateRules, AChainThroughAThirdPersonIsOneSetInTheOrderOfItsFirstPerson) {
  AddressStore store;
  AddTestPerson(store, "Xavier", "x@x");
  AddTestPerson(store, "Ann Lee", "ann@x");       // 1 ~ 3 by e-mail
  AddTestPerson(store, "Cy", "cy@x");
  AddTestPerson(store, "Annie", "ANN@x");
  AddTestPerson(store, "annie", "other@x");       // 4 ~ 3 by description
  AddTestPerson(store, "cy", "");                 // 5 ~ 2
  auto sets = FindDuplicateSets(store, kWestern);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0].persons, (std::vector<uint32_t>{1, 3, 4}));
  EXPECT_EQ(sets[0].reasons, static_cast<uint32_t>(kSameEmail | kSameName));
  EXPECT_EQ(sets[1].persons, (std::vector<uint32_t>{2, 5}));
  EXPECT_EQ(SetLine(store, sets[0], "same e-mail", "same name"), "Ann Lee / Annie / annie (same e-mail, same name)");
}

TEST(DuplicateRules, AccentsFoldAsTheSearchBoxFolds) {
  AddressStore store;
  AddTestPerson(store, "Ren\xE9 M\xFCller");  // René Müller in Windows-1252
  AddTestPerson(store, "rene muller");
  AddTestPerson(store, "RENE MULLER");
  EXPECT_EQ(SetsOf(store), (Slots{{0, 1, 2}}));
  EXPECT_EQ(EmailKey("J\xD6RG@x.de", kWestern), EmailKey("jorg@X.DE", kWestern));
}

TEST(DuplicateRules, ATrailByteThatLooksLikePunctuationStays) {
  CodePage japanese = ShiftJisCodePage();
  // 0x95 0x5C is one character whose trail byte is the backslash.
  EXPECT_EQ(DescriptionKey("\x95\x5C", japanese), "\x95\x5C");
  EXPECT_EQ(DescriptionKey("\x95\x5C", kWestern), "\x95");
}

TEST(DuplicateRules, TheQuickWayFindsWhatComparingEveryPairFinds) {
  AddressStore store;
  const char* descriptions[] = {"Ann Lee", "Lee, Ann", "Bo", "bo.", "Cy", "Dee", "Ed", "ann lee"};
  const char* emails[] = {"a@x", "", "b@x", "", "a@x", "d@x", "D@X", ""};
  for (int i = 0; i < 8; ++i) AddTestPerson(store, descriptions[i], emails[i]);
  auto quick = FindDuplicateSets(store, kWestern), plain = FindDuplicateSetsPairwise(store, kWestern);
  ASSERT_EQ(quick.size(), plain.size());
  for (size_t i = 0; i < quick.size(); ++i) {
    EXPECT_EQ(quick[i].persons, plain[i].persons);
    EXPECT_EQ(quick[i].reasons, plain[i].reasons);
  }
  EXPECT_EQ(CountInSets(quick, {2, 5, 6, 7}), 4u);
}

class NotSameTest : public BookFolderTest {};

TEST_F(NotSameTest, ADeclaredSetStaysAwayUntilADescriptionOrAddressChanges) {
  AddTestPerson(store_, "Ann Lee", "ann@x");
  AddTestPerson(store_, "Lee, Ann", "other@x");
  AddTestPerson(store_, "Bo", "bo@x");
  AddTestPerson(store_, "bo", "bo2@x");
  auto sets = FindDuplicateSets(store_, kWestern);
  ASSERT_EQ(sets.size(), 2u);
  NotSameList list;
  list.sets.insert(NotSameKeyOf(store_, sets[0]));
  std::string path = NotSamePath(store_.personPath);
  EXPECT_EQ(path, dir_ + "/notsame.inf");
  ASSERT_FALSE(WriteNotSameList(path, list).has_value());

  NotSameList read = ReadNotSameList(path);
  EXPECT_EQ(read.sets, list.sets);
  auto offered = WithoutDeclared(store_, FindDuplicateSets(store_, kWestern), read);
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0].persons, (std::vector<uint32_t>{2, 3}));

  CopyToField((*store_.persons)[1].email, kEmailFieldSize, "new@x");
  EXPECT_EQ(WithoutDeclared(store_, FindDuplicateSets(store_, kWestern), read).size(), 2u);
}

TEST_F(NotSameTest, ADamagedFileGivesWhatItHolds) {
  NotSameList list;
  list.sets.insert(NotSameKey{{"A", "a@x"}, {"a", ""}});
  list.sets.insert(NotSameKey{{"B", ""}, {"b", ""}});
  Bytes bytes = NotSameBytes(list);
  EXPECT_EQ(NotSameFromBytes(bytes).sets, list.sets);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    Bytes part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_LE(NotSameFromBytes(part).sets.size(), 2u);
  }
  Bytes huge = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'x'};
  EXPECT_TRUE(NotSameFromBytes(huge).sets.empty());
  EXPECT_TRUE(ReadNotSameList(dir_ + "/none.inf").sets.empty());
}

TEST(DuplicateValues, OfferedValuesAndDefaultsFromThePersonWithMostFields) {
  AddressStore store;
  AddTestPerson(store, "Ann Lee", "ann@x", ";;", "met in May");
  AddTestPerson(store, "Lee, Ann", "ann@x", "Ann;;Lee", "phone");
  AddTestPerson(store, "ann lee", "ANN@x", "Ann;B.;", "");
  DuplicateSet set{{0, 1, 2}, kSameEmail};
  auto offered = OfferedValues(store, set, kWestern);
  EXPECT_EQ(offered[kFieldDescription], (std::vector<std::string>{"Ann Lee", "Lee, Ann", "ann lee"}));
  EXPECT_EQ(offered[kFieldEmail], (std::vector<std::string>{"ann@x", "ANN@x"}));
  EXPECT_EQ(offered[kFieldFirst], (std::vector<std::string>{"Ann"}));
  EXPECT_EQ(offered[kFieldMiddle], (std::vector<std::string>{"B."}));
  EXPECT_EQ(offered[kFieldMemo], (std::vector<std::string>{"met in May", "phone", "met in May / phone"}));
  FieldValues chosen = DefaultValues(store, set);
  // Slot 1 has five fields filled; the middle name only slot 2 has.
  EXPECT_EQ(chosen, (FieldValues{"Lee, Ann", "ann@x", "Ann", "B.", "Lee", "phone"}));
}

TEST(DuplicateValues, JoinedMemosAreCutAndMarked) {
  AddressStore store;
  AddTestPerson(store, "A", "a@x", ";;", std::string(200, 'x'));
  AddTestPerson(store, "a", "a@x", ";;", std::string(200, 'y'));
  auto offered = OfferedValues(store, {{0, 1}, kSameEmail}, kWestern);
  const std::string& joined = offered[kFieldMemo].back();
  EXPECT_EQ(joined.size(), kMergedTextLimit);
  EXPECT_EQ(joined.substr(joined.size() - 5), "(cut)");
  EXPECT_EQ(joined.substr(0, 203), std::string(200, 'x') + " / ");
}

TEST(DuplicateValues, IdenticalSetsNeedNoChoice) {
  AddressStore store;
  AddTestPerson(store, "Ann Lee", "ann@x", "Ann;;", "");
  AddTestPerson(store, "ann lee", "ANN@x", ";;Lee", "memo");
  AddTestPerson(store, "Bo", "bo@x", ";;", "one");
  AddTestPerson(store, "bo", "bo@x", ";;", "two");
  AddTestPerson(store, "Cy", "cy@x");
  AddTestPerson(store, "Cyrus", "cy@x");
  EXPECT_TRUE(IsIdenticalSet(store, {{0, 1}, kSameName}, kWestern));
  EXPECT_FALSE(IsIdenticalSet(store, {{2, 3}, kSameName}, kWestern));
  EXPECT_FALSE(IsIdenticalSet(store, {{4, 5}, kSameEmail}, kWestern));
}

TEST(DuplicateValues, NameRulesAgainstPersonsOutsideTheSet) {
  AddressStore store;
  AddTestPerson(store, "Ann", "a@x");
  AddTestPerson(store, "ann", "a@x");
  AddTestPerson(store, "Bo", "b@x");
  DuplicateSet set{{0, 1}, kSameEmail};
  EXPECT_EQ(CheckMergedValues(store, set, {"ANN", "a@x", "", "", "", ""}), kMsgNone);
  EXPECT_EQ(CheckMergedValues(store, set, {"bo", "a@x", "", "", "", ""}), kMsgDescriptionTaken);
  EXPECT_EQ(CheckMergedValues(store, set, {"", "a@x", "", "", "", ""}), kMsgEmptyDescription);
  EXPECT_EQ(CheckMergedValues(store, set, {"A:B", "", "", "", "", ""}), kMsgBadDescription);
  EXPECT_EQ(CheckMergedValues(store, set, {"Ann", "", "", "", "L(", ""}), kMsgBadLastName);
}

TEST(DuplicateRecipients, TheSurvivorTakesTheFirstPlaceWithoutRepeats) {
  constexpr auto P = [](uint32_t slot) { return MakeItemRef(slot, kPersonItem); };
  MergePlan plan{{{1, 3, 4}, kSameEmail}, {"Ann", "ann@x", "", "", "", ""}};
  std::vector<ItemRef> recipients = {P(0), P(4), MakeItemRef(1, kGroupItem), P(1), P(3), P(2)};
  EXPECT_EQ(RecipientsAfterMerge(recipients, {plan}),
            (std::vector<ItemRef>{P(0), P(1), MakeItemRef(1, kGroupItem), P(2)}));

  AddressStore store;
  AddTestPerson(store, "Xa", "x@x");
  AddTestPerson(store, "Ann", "ann@x");
  AddTestPerson(store, "Cy", "c@x");
  AddTestPerson(store, "ann", "ANN@x");
  AddTestPerson(store, "Ann L", "lee@y");
  EXPECT_EQ(AddressesNoLongerSent(store, recipients, plan, kWestern), (std::vector<std::string>{"lee@y"}));
  EXPECT_TRUE(AddressesNoLongerSent(store, {P(1), P(3)}, plan, kWestern).empty());
}

class MergeTest : public BookFolderTest {
 protected:
  // "Ann Lee" (0), Bo (1), "Lee, Ann" (2), Cy (3), "Ann Lee." (4); Team {Bo, "Lee, Ann",
  // "Ann Lee", "Ann Lee."}, Club {"Ann Lee.", Cy}, Pals {Cy}.
  void SetUp() override {
    BookFolderTest::SetUp();
    AddTestPerson(store_, "Ann Lee", "ann@x", "Ann;;Lee", "first");
    AddTestPerson(store_, "Bo", "bo@x", "Bo;;", "");
    AddTestPerson(store_, "Lee, Ann", "ann@x", ";;", "second");
    AddTestPerson(store_, "Cy", "cy@x", ";;", "");
    AddTestPerson(store_, "Ann Lee.", "lee@y", "Ann;M;Lee", "");
    AddTestGroup(store_, "Team", {1, 2, 0, 4});
    AddTestGroup(store_, "Club", {4, 3});
    AddTestGroup(store_, "Pals", {3});
    BuildIndexes(store_);
    ASSERT_TRUE(SavePersonFile(store_));
    ASSERT_TRUE(SaveGroupFile(store_));
    personsBefore_ = Read(store_.personPath);
    groupsBefore_ = Read(store_.groupPath);
  }
  Bytes personsBefore_, groupsBefore_;
};

TEST_F(MergeTest, MembershipsBecomeOneAtTheFirstPlaceAndUndoGivesBothFilesBack) {
  auto sets = FindDuplicateSets(store_, kWestern);
  ASSERT_EQ(sets.size(), 1u);
  ASSERT_EQ(sets[0].persons, (std::vector<uint32_t>{0, 2, 4}));
  MergePlan plan{sets[0], {"Ann Lee", "ann@x", "Ann", "M", "Lee", "second"}};
  std::vector<ItemRef> list = MakeItemRefs({4, 3, 2, 1, 0}, kPersonItem);
  MergeUndo undo = ApplyMerges(store_, {plan}, list, {});
  EXPECT_EQ(*(*store_.groups)[0].members, (MemberList{1, 0}));
  EXPECT_EQ((*store_.groups)[0].memberCount, 2u);
  EXPECT_EQ(*(*store_.groups)[1].members, (MemberList{0, 3}));
  EXPECT_EQ(undo.groups.size(), 2u);  // Pals kept its list
  EXPECT_EQ((*store_.persons)[2].deleted, 1);
  EXPECT_EQ((*store_.persons)[4].deleted, 1);
  EXPECT_STREQ((*store_.persons)[0].names, "Ann;M;Lee");
  EXPECT_STREQ((*store_.persons)[0].memo, "second");
  ASSERT_EQ(undo.entries.size(), 2u);
  EXPECT_EQ(undo.entries[0].position, 0);  // "Ann Lee."
  EXPECT_EQ(undo.entries[1].position, 2);
  EXPECT_EQ(store_.personNameIndex.count, 5);
  ASSERT_TRUE(SavePersonFile(store_));
  ASSERT_TRUE(SaveGroupFile(store_));
  EXPECT_NE(Read(store_.personPath), personsBefore_);
  EXPECT_NE(Read(store_.groupPath), groupsBefore_);
  EXPECT_TRUE(FindDuplicateSets(store_, kWestern).empty());

  ASSERT_TRUE(CanUndoMerge(store_, undo));
  ASSERT_TRUE(RestoreMerge(store_, undo));
  EXPECT_FALSE(CanUndoMerge(store_, undo));
  ASSERT_TRUE(SavePersonFile(store_));
  ASSERT_TRUE(SaveGroupFile(store_));
  EXPECT_EQ(Read(store_.personPath), personsBefore_);
  EXPECT_EQ(Read(store_.groupPath), groupsBefore_);
}

TEST_F(MergeTest, ALaterChangeOrDeleteEndsTheMergeUndoAndTheMergeEndsTheDeleteUndo) {
  DeleteUndo deleted = RecordDelete(store_, {MakeItemRef(3, kPersonItem)}, {3}, {});
  ApplyDelete(store_, deleted);
  MergeUndo undo = ApplyMerges(store_, {{FindDuplicateSets(store_, kWestern)[0], DefaultValues(store_, {{0, 2, 4}, 0})}},
                               {}, {});
  EXPECT_FALSE(CanUndoDelete(store_, deleted));
  EXPECT_TRUE(CanUndoMerge(store_, undo));
  ++store_.changeCount;  // any edit
  EXPECT_FALSE(RestoreMerge(store_, undo));
  EXPECT_EQ((*store_.persons)[2].deleted, 1);
}

TEST_F(MergeTest, SeveralSetsAtOnceAreUndoneAsAWhole) {
  AddTestPerson(store_, "bo", "", "", "");  // slot 5 joins Bo
  AddTestGroup(store_, "Both", {5, 1, 4, 0});
  ASSERT_TRUE(SaveGroupFile(store_));
  ASSERT_TRUE(SavePersonFile(store_));
  personsBefore_ = Read(store_.personPath);
  groupsBefore_ = Read(store_.groupPath);
  auto sets = FindDuplicateSets(store_, kWestern);
  ASSERT_EQ(sets.size(), 2u);
  std::vector<MergePlan> plans;
  for (const auto& set : sets) plans.push_back({set, DefaultValues(store_, set)});
  MergeUndo undo = ApplyMerges(store_, plans, {}, {});
  EXPECT_EQ(*(*store_.groups)[3].members, (MemberList{1, 0}));
  ASSERT_TRUE(RestoreMerge(store_, undo));
  ASSERT_TRUE(SavePersonFile(store_));
  ASSERT_TRUE(SaveGroupFile(store_));
  EXPECT_EQ(Read(store_.personPath), personsBefore_);
  EXPECT_EQ(Read(store_.groupPath), groupsBefore_);
}

}  // namespace
