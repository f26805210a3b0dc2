#include <gtest/gtest.h>

#include <string>

#include "import/import_readers.h"

namespace {

std::string S(std::string_view v) { return std::string(v); }

// A literal with its inner zero bytes kept.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

ImportBatch MustRead(std::optional<ImportBatch> batch) {
  EXPECT_TRUE(batch.has_value());
  return batch ? std::move(*batch) : *ImportBatch::Make(0);
}

// ---- vCard: one card, searched as a whole --------------------------------

TEST(VCardReader, ReadsTheListedPropertiesOfOneCard) {
  std::string text =
      "BEGIN:VCARD\r\nN:Smith;John\r\nFN:John Smith\r\nNOTE:met in Oslo\r\n"
      "EMAIL;INTERNET:john@example.com\r\nEND:VCARD\r\n";
  ImportBatch batch = MustRead(ReadVCard(text));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(batch.capacity(), 1u);
  EXPECT_EQ(S(batch[0].description), "John Smith");
  EXPECT_EQ(S(batch[0].email), "john@example.com");
  EXPECT_EQ(S(batch[0].lastName), "Smith");
  EXPECT_EQ(S(batch[0].firstName), "John");
  EXPECT_TRUE(batch[0].middleName.empty());
  EXPECT_EQ(S(batch[0].memo), "met in Oslo");
}

TEST(VCardReader, StructuredNameGivesFamilyGivenAndAdditionalName) {
  auto name = [](const std::string& line) {
    std::string text = "BEGIN:VCARD\r\n" + line + "\r\nFN:A\r\nEMAIL;INTERNET:a\r\n";
    ImportBatch batch = MustRead(ReadVCard(text));
    EXPECT_EQ(batch.count(), 1u);
    return S(batch[0].lastName) + "|" + S(batch[0].firstName) + "|" + S(batch[0].middleName);
  };
  EXPECT_EQ(name("N:Smith;John;;;"), "Smith|John|");
  EXPECT_EQ(name("N:Smith;John;Paul;Dr.;Jr."), "Smith|John|Paul");
  EXPECT_EQ(name("N:Smith"), "Smith||");
  EXPECT_EQ(name("N:Smith;John"), "Smith|John|");
  EXPECT_EQ(name("N:;;x"), "||x");
  // A semicolon on a later line does not count.
  EXPECT_EQ(name("N:Smith\r\nX:a;b"), "Smith||");
  // NOTE is no structured name.
  EXPECT_EQ(name("NOTE:x;y"), "||");
}

TEST(VCardReader, NeedsAnEmailAndTakesTheDescriptionFromNameOrAddressWithoutFN) {
  ImportBatch batch = MustRead(ReadVCard("BEGIN:VCARD\r\nN:Smith\r\nEMAIL;INTERNET:a@b\r\n"));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(S(batch[0].description), "Smith");
  EXPECT_EQ(MustRead(ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nNOTE:n\r\n")).count(), 0u);
  // An empty address is no address.
  EXPECT_EQ(MustRead(ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;INTERNET:\r\n")).count(), 0u);
  batch = MustRead(ReadVCard("BEGIN:VCARD\r\nFN:\r\nN:Lee;Ann\r\nEMAIL:a@b\r\n"));
  EXPECT_EQ(S(batch[0].description), "Ann Lee");
  batch = MustRead(ReadVCard("BEGIN:VCARD\r\nFN: \r\nEMAIL;INTERNET:a@b\r\n"));
  EXPECT_EQ(S(batch[0].description), "a@b");
}

TEST(VCardReader, PreferredEmailWinsWhereverItStands) {
  ImportBatch batch = MustRead(ReadVCard(
      "BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;INTERNET:plain@x\r\nEMAIL;PREF;INTERNET:pref@x\r\n"));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(S(batch[0].email), "pref@x");
}

TEST(VCardReader, PropertiesCountOnAnyLineInAnyCaseWithAnyParameters) {
  EXPECT_EQ(MustRead(ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;INTERNET:a@b\r\n")).count(), 1u);
  EXPECT_EQ(MustRead(ReadVCard("BEGIN:VCARD\r\nfn:Ann\r\nEMAIL;INTERNET:a@b\r\n")).count(), 1u);
  EXPECT_EQ(MustRead(ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;TYPE=INTERNET:a@b\r\n")).count(), 1u);
  EXPECT_EQ(MustRead(ReadVCard("BEGIN:VCARD\nFN:Ann\nEMAIL;INTERNET:a@b\n")).count(), 1u);
}

TEST(VCardReader, ValueWithoutCarriageReturnRunsToTheEndOfTheText) {
  ImportBatch batch = MustRead(ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;INTERNET:a@b"));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(S(batch[0].email), "a@b");
  batch = MustRead(ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;INTERNET:a@b\r\nN:Smith;Jo"));
  EXPECT_EQ(S(batch[0].firstName), "Jo");
}

TEST(VCardReader, StopsAtTheFirstZeroByte) {
  std::string text = Bytes("BEGIN:VCARD\r\nFN:Ann\r\n\0\r\nEMAIL;INTERNET:a@b\r\n");
  EXPECT_EQ(MustRead(ReadVCard(text)).count(), 0u);
  std::string inValue = Bytes("BEGIN:VCARD\r\nEMAIL;INTERNET:a@b\r\nFN:An\0n\r\n");
  ImportBatch batch = MustRead(ReadVCard(inValue));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(S(batch[0].description), "An");
}

TEST(VCardReader, OneMarkedCardEndsAtItsEndLine) {
  ImportBatch batch = MustRead(
      ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nEND:VCARD\r\nEMAIL;INTERNET:a@b\r\n"));
  EXPECT_EQ(batch.count(), 0u);
}

// ---- vCard: several cards, one person each -------------------------------------------------

TEST(VCardReader, SeveralCardsGiveOnePersonEachWithoutMixingValues) {
  std::string text =
      "BEGIN:VCARD\r\nFN:Ann\r\nN:Lee;Ann\r\nNOTE:first\r\nEMAIL;PREF;INTERNET:ann@x\r\n"
      "END:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:Bob\r\nEMAIL;INTERNET:bob@x\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:NoMail\r\nNOTE:dropped\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nEMAIL;INTERNET:nameless@x\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:Cy\r\nEMAIL;INTERNET:cy@x\r\nEND:VCARD\r\n";
  ImportBatch batch = MustRead(ReadVCard(text));
  ASSERT_EQ(batch.count(), 4u);
  EXPECT_EQ(S(batch[0].description), "Ann");
  EXPECT_EQ(S(batch[0].email), "ann@x");
  EXPECT_EQ(S(batch[0].memo), "first");
  EXPECT_EQ(S(batch[0].lastName), "Lee");
  EXPECT_EQ(S(batch[1].description), "Bob");
  EXPECT_EQ(S(batch[1].email), "bob@x");  // not Ann's preferred address
  EXPECT_TRUE(batch[1].memo.empty());
  EXPECT_TRUE(batch[1].lastName.empty());
  EXPECT_EQ(S(batch[2].description), "nameless@x");
  EXPECT_EQ(S(batch[3].description), "Cy");
}

TEST(VCardReader, CardWithoutEndLineRunsToTheNextCard) {
  std::string text =
      "BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;INTERNET:ann@x\r\n"
      "BEGIN:VCARD\r\nFN:Bob\r\nEMAIL;INTERNET:bob@x";
  ImportBatch batch = MustRead(ReadVCard(text));
  ASSERT_EQ(batch.count(), 2u);
  EXPECT_EQ(S(batch[0].email), "ann@x");
  EXPECT_EQ(S(batch[1].email), "bob@x");
}

TEST(VCardReader, TextBetweenCardsBelongsToNoCard) {
  std::string text =
      "BEGIN:VCARD\r\nFN:Ann\r\nEND:VCARD\r\nEMAIL;INTERNET:stray@x\r\n"
      "BEGIN:VCARD\r\nFN:Bob\r\nEMAIL;INTERNET:bob@x\r\nEND:VCARD\r\n";
  ImportBatch batch = MustRead(ReadVCard(text));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(S(batch[0].description), "Bob");
}

TEST(VCardReader, ManyCardsGrowTheBatchAndCanBeAbandoned) {
  std::string text;
  for (int i = 0; i < 12; ++i)
    text += "BEGIN:VCARD\r\nFN:P" + std::to_string(i) + "\r\nEMAIL;INTERNET:m\r\nEND:VCARD\r\n";
  ImportBatch batch = MustRead(ReadVCard(text));
  EXPECT_EQ(batch.count(), 12u);
  EXPECT_EQ(batch.capacity(), 21u);
  EXPECT_EQ(S(batch[11].description), "P11");
  EXPECT_FALSE(ReadVCard(text, 11).has_value());
}

// ---- Netscape ----------------------------------------------------------------------------

TEST(NetscapeReader, EveryMailtoLinkGivesAPerson) {
  std::string text =
      "<DL><DT><A HREF=\"mailto:ann@x\" NICKNAME=\"a\">Ann &amp; <B>Co</B></A>\n"
      "<DT><A HREF=\"mailto:bob@x\">Bob</A>\n";
  ImportBatch batch = MustRead(ReadNetscapeBook(text));
  ASSERT_EQ(batch.count(), 2u);
  EXPECT_EQ(S(batch[0].email), "ann@x");
  EXPECT_EQ(S(batch[0].description), "Ann &amp; <B>Co</B>");  // raw bytes, markup kept
  EXPECT_EQ(S(batch[1].description), "Bob");
  EXPECT_TRUE(batch[1].firstName.empty() && batch[1].memo.empty());
}

TEST(NetscapeReader, LowerCaseTagIsNotFound) {
  EXPECT_EQ(MustRead(ReadNetscapeBook("<a href=\"mailto:ann@x\">Ann</a>")).count(), 0u);
}

TEST(NetscapeReader, EmptyLinkTextIsAnEmptyDescription) {
  ImportBatch batch = MustRead(ReadNetscapeBook("<A HREF=\"mailto:ann@x\"></A>"));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_TRUE(batch[0].description.empty());
  EXPECT_EQ(S(batch[0].email), "ann@x");
}

TEST(NetscapeReader, MissingDelimitersEndTheReadKeepingEarlierLinks) {
  const std::string first = "<A HREF=\"mailto:ann@x\">Ann</A>";
  EXPECT_EQ(MustRead(ReadNetscapeBook(first + "<A HREF=\"mailto:bob@x")).count(), 1u);
  EXPECT_EQ(MustRead(ReadNetscapeBook(first + "<A HREF=\"mailto:bob@x\"")).count(), 1u);
  EXPECT_EQ(MustRead(ReadNetscapeBook(first + "<A HREF=\"mailto:bob@x\">Bob")).count(), 1u);
}

TEST(NetscapeReader, StopsAtTheFirstZeroByte) {
  std::string text = Bytes("<A HREF=\"mailto:ann@x\">Ann</A>\0<A HREF=\"mailto:b\">B</A>");
  EXPECT_EQ(MustRead(ReadNetscapeBook(text)).count(), 1u);
}

TEST(NetscapeReader, BatchGrowsByTenRightAfterItFills) {
  auto links = [](int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "<A HREF=\"mailto:m\">P" + std::to_string(i) + "</A>";
    return text;
  };
  EXPECT_EQ(MustRead(ReadNetscapeBook(links(9))).capacity(), 10u);
  EXPECT_EQ(MustRead(ReadNetscapeBook(links(10))).capacity(), 20u);
  std::string many = links(25);
  ImportBatch batch = MustRead(ReadNetscapeBook(many));
  EXPECT_EQ(batch.count(), 25u);
  EXPECT_EQ(batch.capacity(), 30u);
  EXPECT_EQ(S(batch[24].description), "P24");
  // When it cannot grow the whole import is abandoned, even though every link was read.
  EXPECT_TRUE(ReadNetscapeBook(links(9), 10).has_value());
  EXPECT_FALSE(ReadNetscapeBook(links(10), 10).has_value());
}

// ---- Eudora ------------------------------------------------------------------------------

TEST(EudoraReader, AliasLinesGiveNicknameAndTheRestOfTheLine) {
  std::string text =
      "alias ann ann@x\r\nnote ann <name:Ann>\r\nalias team a@x, b@y\r\n"
      "xx alias mid m@x\r\n";
  ImportBatch batch = MustRead(ReadEudoraNicknames(text));
  ASSERT_EQ(batch.count(), 3u);
  EXPECT_EQ(S(batch[0].description), "ann");
  EXPECT_EQ(S(batch[0].email), "ann@x");
  EXPECT_EQ(S(batch[1].email), "a@x, b@y");
  EXPECT_EQ(S(batch[2].description), "mid");
  EXPECT_TRUE(batch[1].lastName.empty() && batch[1].memo.empty());
}

TEST(EudoraReader, NicknameRunsOnToTheNextBlankAcrossLines) {
  ImportBatch batch = MustRead(ReadEudoraNicknames("alias ann\r\nmore x@y\r\n"));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(S(batch[0].description), "ann\r\nmore");
  EXPECT_EQ(S(batch[0].email), "x@y");
}

TEST(EudoraReader, MissingBlankEndsTheReadAndMissingLineEndRunsToTheEnd) {
  EXPECT_EQ(MustRead(ReadEudoraNicknames("alias a a@x\r\nalias b")).count(), 1u);
  ImportBatch batch = MustRead(ReadEudoraNicknames("alias a a@x"));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_EQ(S(batch[0].email), "a@x");
  batch = MustRead(ReadEudoraNicknames("alias a "));
  ASSERT_EQ(batch.count(), 1u);
  EXPECT_TRUE(batch[0].email.empty());
}

TEST(EudoraReader, StopsAtTheFirstZeroByte) {
  std::string text = Bytes("alias a a@x\r\nalias b b\0@x\r\nalias c c@x\r\n");
  ImportBatch batch = MustRead(ReadEudoraNicknames(text));
  ASSERT_EQ(batch.count(), 2u);
  EXPECT_EQ(S(batch[1].email), "b");
}

TEST(EudoraReader, CannotGrowAbandonsTheImport) {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "alias n" + std::to_string(i) + " m\r\n";
  EXPECT_EQ(MustRead(ReadEudoraNicknames(text)).capacity(), 30u);
  EXPECT_FALSE(ReadEudoraNicknames(text, 20).has_value());
  EXPECT_TRUE(ReadEudoraNicknames(text, 30).has_value());
}

}  // namespace
