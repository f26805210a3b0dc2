// Imports that lose no person without a word: LDIF records without blank lines and with any line
// end, lists of every kind, files without a card, UTF-16 without a mark, CSV quotes never closed
// and localized headers, and names the dialogs would refuse. The native ANSI code page is 1252.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "import/base64.h"
#include "import/charset.h"
#include "import/foreign_book_batch.h"
#include "import/foreign_readers.h"
#include "import/import_merge.h"
#include "import/import_readers.h"
#include "store/code_page.h"
#include "store/indexes.h"
#include "store/name_rules.h"
#include "store_test_folder.h"

namespace {

namespace fs = std::filesystem;

std::string S(std::string_view v) { return std::string(v); }

std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string out;
  for (char c : ascii) {
    if (bigEndian) out.push_back('\0');
    out.push_back(c);
    if (!bigEndian) out.push_back('\0');
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  std::string out;
  AppendBase64(out, bytes);
  return out;
}

std::string Person(const std::string& dn, const std::string& cn, const std::string& mail, const char* end = "\n") {
  return "dn: " + dn + end + "objectclass: person" + end + "cn: " + cn + end + "mail: " + mail + end;
}

// ---- LDIF ----------------------------------------------------------------------------------

TEST(LdifRecords, ADnLineOpensARecordWithoutABlankLineBeforeIt) {
  ForeignBook book = ReadLdif(Person("cn=Ann,mail=a@x", "Ann", "a@x") + Person("cn=Bob,mail=b@x", "Bob", "b@x") +
                              "dn: cn=Both\nobjectclass: groupOfNames\ncn: Both\n"
                              "member: cn=Ann,mail=a@x\nmember: cn=Bob,mail=b@x\n");
  ASSERT_EQ(book.persons.size(), 2u);
  EXPECT_EQ(book.persons[0].description, "Ann");
  EXPECT_EQ(book.persons[1].email, "b@x");
  ASSERT_EQ(book.groups.size(), 1u);
  EXPECT_EQ(book.groups[0].members, (std::vector<size_t>{0, 1}));
}

TEST(LdifRecords, EveryLineEndEndsALineCarriageReturnTwiceBeforeTheLineFeedIncluded) {
  for (const char* end : {"\r\n", "\n", "\r", "\r\r\n"}) {
    std::string text = Person("cn=Ann", "Ann", "a@x", end) + end + Person("cn=Bob", "Bob", "b@x", end) +
                       "description: two" + end + " halves" + end;
    ForeignBook book = ReadLdif(text);
    ASSERT_EQ(book.persons.size(), 2u) << "line end " << testing::PrintToString(std::string(end));
    EXPECT_EQ(book.persons[1].memo, "twohalves");
  }
}

TEST(LdifLists, UniqueMembersHexEscapedAndBase64DnsFindTheirPersons) {
  std::string mueller = "cn=M\xC3\xBCller\\, Jo,mail=jo@x";
  std::string text = Person(mueller, "M\xC3\xBCller, Jo", "jo@x") + "\n" + Person("cn=Ann Lee", "Ann Lee", "a@x") +
                     "\n"
                     "dn: cn=Hex\nobjectclass: groupOfNames\ncn: Hex\n"
                     "member: CN=m\\C3\\BCLLER\\2C Jo , mail = jo@x\n"
                     "member:: " + Base64("cn=Ann Lee") + "\n\n"
                     "dn: cn=Unique\nobjectclass: top\nobjectclass: groupOfUniqueNames\ncn: Unique\n"
                     "uniqueMember: cn=Ann Lee#'0101'B\nuniqueMember: cn=M\\c3\\bcller\\, Jo,mail=jo@x\n"
                     "uniqueMember: cn=Nobody\\2c Here\n";
  ForeignBook book = ReadLdif(text);
  ASSERT_EQ(book.groups.size(), 2u);
  EXPECT_EQ(book.groups[0].members, (std::vector<size_t>{0, 1}));
  EXPECT_EQ(book.groups[1].name, "Unique");
  EXPECT_EQ(book.groups[1].members, (std::vector<size_t>{1, 0}));
  EXPECT_EQ(book.groups[1].missingMembers, (std::vector<std::string>{"Nobody, Here"}));
}

// ---- vCard ---------------------------------------------------------------------------------

TEST(VCardWithoutCard, EmptyFilesCsvAndTextWithoutBeginHoldNoCard) {
  for (const char* text : {"", "First Name,E-mail Address\r\nAnn,a@x\r\n", "FN:Ann\r\nEMAIL:a@x\r\n"}) {
    std::optional<ImportBatch> batch = ReadVCard(text);
    ASSERT_TRUE(batch.has_value());
    EXPECT_TRUE(batch->noRecord()) << text;
    EXPECT_EQ(batch->count(), 0u);
    EXPECT_TRUE(batch->withoutAddress().empty());  // no "not taken" entry without a name
  }
  std::optional<ImportBatch> card = ReadVCard("BEGIN:VCARD\r\nFN:Ann\r\nEND:VCARD\r\n");
  EXPECT_FALSE(card->noRecord());
  EXPECT_EQ(card->withoutAddress().size(), 1u);
}

TEST(Utf16WithoutMark, EachReaderTakesEitherByteOrder) {
  for (bool bigEndian : {false, true}) {
    std::optional<ImportBatch> cards = ReadVCard(Utf16("BEGIN:VCARD\r\nFN:Ann\r\nEMAIL:a@x\r\nEND:VCARD\r\n", bigEndian));
    ASSERT_TRUE(cards && cards->count() == 1u) << bigEndian;
    EXPECT_EQ(S((*cards)[0].description), "Ann");
    std::optional<ForeignBook> csv = ReadContactsCsv(Utf16("Display Name,Primary Email\r\nBo,b@x\r\n", bigEndian));
    ASSERT_TRUE(csv && csv->persons.size() == 1u);
    EXPECT_EQ(csv->persons[0].email, "b@x");
    ForeignBook ldif = ReadLdif(Utf16(Person("cn=Cy", "Cy", "c@x"), bigEndian));
    ASSERT_EQ(ldif.persons.size(), 1u);
    EXPECT_EQ(ldif.persons[0].description, "Cy");
  }
  // Text whose first line has no zero bytes stays 8-bit.
  EXPECT_FALSE(Utf16OrderWithoutMark("BEGIN:VCARD\r\n").has_value());
  EXPECT_FALSE(Utf16OrderWithoutMark(std::string("A\0B", 3)).has_value());
}

TEST(VCardUnfolding, AColonlessFirstLineWithThousandsOfFoldsIsJoinedOnce) {
  std::string text = "BEGIN:VCARD\r\nFN:Ann\r\nPHOTO;ENCODING=b;TYPE=JPEG\r\n";
  for (int n = 0; n < 32000; ++n) text += " /9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgFBQQEBQoHBwYI\r\n";
  text += "EMAIL:a@x\r\nEND:VCARD\r\n";
  std::optional<ImportBatch> batch = ReadVCard(text);
  ASSERT_TRUE(batch && batch->count() == 1u);
  EXPECT_EQ(S((*batch)[0].email), "a@x");
  // A header whose colon comes on a folded line still finds its value.
  batch = ReadVCard("BEGIN:VCARD\r\nFN;CHARSET=UTF-8\r\n :Bo\r\nEMAIL:b@x\r\nEND:VCARD\r\n");
  EXPECT_EQ(S((*batch)[0].description), "Bo");
}

// ---- CSV -----------------------------------------------------------------------------------

TEST(CsvGoogle, ThePrimaryMarkCountsOnATypeWithNothingAfterIt) {
  std::optional<ForeignBook> book = ReadContactsCsv(
      "Name,E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,E-mail 2 - Value,Group Membership\r\n"
      "Ann,Home,home@x,\"* \",main@x,* myContacts ::: Choir\r\n");
  ASSERT_TRUE(book && book->persons.size() == 1u);
  EXPECT_EQ(book->persons[0].email, "main@x");
  EXPECT_EQ(book->persons[0].groups, (std::vector<std::string>{"myContacts", "Choir"}));
}

TEST(CsvThunderbird, LocalizedHeadersReadAsTheEnglishOnesAndTheFirstOfTwoNamesCounts) {
  // German Thunderbird in UTF-8; "Notizen" twice, the first is the note.
  std::optional<ForeignBook> german = ReadContactsCsv(
      "Vorname,Nachname,Anzeigename,Spitzname,Prim\xC3\xA4re E-Mail-Adresse,Notizen,Notizen\r\n"
      "J\xC3\xBCrgen,M\xC3\xBCller,J\xC3\xBCrgen M.,Jo,jm@x,erste,zweite\r\n");
  ASSERT_TRUE(german && german->persons.size() == 1u);
  const DecodedPerson& j = german->persons[0];
  EXPECT_EQ(j.description, "J\xC3\xBCrgen M.");
  EXPECT_EQ(j.email, "jm@x");
  EXPECT_EQ(j.first, "J\xC3\xBCrgen");
  EXPECT_EQ(j.last, "M\xC3\xBCller");
  EXPECT_EQ(j.memo, "erste");
  std::optional<ForeignBook> twice =
      ReadContactsCsv("E-mail Address,Categories,Categories\r\na@x,First,Second\r\n");
  ASSERT_TRUE(twice && twice->persons.size() == 1u);
  EXPECT_EQ(twice->persons[0].groups, (std::vector<std::string>{"First"}));
  struct Language {
    const char* header;
  } languages[] = {
      {"Pr\xC3\xA9nom,Nom de famille,Nom \xC3\xA0 afficher,Adresse e-mail principale"},
      {"Voornaam,Achternaam,Weergavenaam,Primair e-mailadres"},
      {"Nome,Cognome,Nome visualizzato,Email primaria"},
      {"Fornavn,Efternavn,Vis navn,Prim\xC3\xA6r mail"},
      {"F\xC3\xB6rnamn,Efternamn,Visa,E-post"},
      {"Fornavn,Etternavn,Fullt navn,Prim\xC3\xA6r e-post"},
      {"Nombre,Apellidos,Nombre mostrado,Direcci\xC3\xB3n de correo electr\xC3\xB3nico principal"},
  };
  for (const Language& language : languages) {
    std::optional<ForeignBook> book = ReadContactsCsv(std::string(language.header) + "\r\nAnn,Lee,Ann L.,a@x\r\n");
    ASSERT_TRUE(book && book->persons.size() == 1u) << language.header;
    EXPECT_EQ(book->persons[0].description, "Ann L.") << language.header;
    EXPECT_EQ(book->persons[0].email, "a@x") << language.header;
    EXPECT_EQ(book->persons[0].last, "Lee") << language.header;
  }
}

TEST(CsvQuotes, AQuoteNeverClosedIsTakenLiterallyAndReadingGoesOnAfterItsLine) {
  std::optional<ForeignBook> book = ReadContactsCsv(
      "Display Name,Primary Email,Notes\r\n"
      "Ann,a@x,\"two\r\nlines\"\r\n"
      "Bob,b@x,\"6 ft, tall\r\n"
      "Cy,c@x,fine\r\n");
  ASSERT_TRUE(book.has_value());
  ASSERT_EQ(book->persons.size(), 3u);
  EXPECT_EQ(book->persons[0].memo, "two lines");
  EXPECT_EQ(book->persons[1].memo, "\"6 ft");
  EXPECT_EQ(book->persons[2].description, "Cy");
  EXPECT_EQ(book->unclosedQuoteLines, (std::vector<size_t>{4}));
}

// ---- the merge: names the dialogs accept, the report ----------------------------------------

class FittingMerge : public BookFolderTest {
 protected:

  ImportOutcome Merge(const ImportBatch& batch) { return AppendImportedPersons(store, batch, SystemCodePage()); }
  ImportOutcome MergeContacts(ContactsFormat format, std::string_view text) {
    ContactsReading reading = ReadContactsBatch(format, text);
    EXPECT_TRUE(reading.batch.has_value());
    return reading.batch ? Merge(*reading.batch) : ImportOutcome();
  }

  std::string Description(uint32_t slot) const { return (*store.persons)[slot].description; }
  std::string Names(uint32_t slot) const { return (*store.persons)[slot].names; }
  std::string Text(const ImportReport& report) const {
    return BuildImportReport(report, [](int id) { return "<" + std::to_string(id) + ">%d %d %d %d"; });
  }

  AddressStore& store = store_;
};

bool Editable(const char* text) { return IsValidNameText(text, SystemCodePage()); }

TEST_F(FittingMerge, EveryReaderStoresNamesTheDialogsAccept) {
  ImportOutcome vcard = Merge(*ReadVCard(
      "BEGIN:VCARD\r\nFN:Bo Berg (work)\r\nN:Berg;Ann (Annie);;;\r\nEMAIL:bo@x\r\nCATEGORIES:Sales / North\r\nEND:VCARD\r\n"));
  ASSERT_EQ(vcard.persons.size(), 1u);
  EXPECT_EQ(Description(vcard.persons[0]), "Bo Berg [work]");
  EXPECT_EQ(Names(vcard.persons[0]), "Ann [Annie];;Berg");
  ASSERT_EQ(vcard.groups.size(), 1u);
  EXPECT_EQ(std::string((*store.groups)[vcard.groups[0]].name), "Sales - North");
  EXPECT_EQ(vcard.report.fitted, 2u);  // the person and the group

  ImportOutcome csv = MergeContacts(ContactsFormat::kCsv, "Display Name,Primary Email\r\n\"a<b>c|d\",c@x\r\n");
  EXPECT_EQ(Description(csv.persons.at(0)), "a[b]c-d");
  ImportOutcome ldif = MergeContacts(ContactsFormat::kLdif, Person("cn=x", "What? *Now*; \"yes\"", "l@x"));
  EXPECT_EQ(Description(ldif.persons.at(0)), "What_ _Now_, 'yes'");
  ImportOutcome netscape = Merge(*ReadNetscapeBook("<A HREF=\"mailto:n@x\">Nat: home\\away</A>"));
  EXPECT_EQ(Description(netscape.persons.at(0)), "Nat- home-away");
  ImportOutcome eudora = Merge(*ReadEudoraNicknames("alias ed(1) e@x\r\n"));
  EXPECT_EQ(Description(eudora.persons.at(0)), "ed[1]");
  for (uint32_t slot = 0; slot < store.persons->used; ++slot) {
    EXPECT_TRUE(Editable((*store.persons)[slot].description)) << Description(slot);
    std::string names = Names(slot);
    for (char c : {'(', ')', '<', '>', '/', '\\', '|', ':', '*', '?', '"'})
      EXPECT_EQ(names.find(c), std::string::npos) << names;
  }
}

TEST_F(FittingMerge, TheReportCountsFittedNamesAndNamesThemAsStored) {
  ImportOutcome outcome = Merge(*ReadVCard(
      "BEGIN:VCARD\r\nFN:Plain\r\nEMAIL:p@x\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:Bo (work)\r\nEMAIL:bo@x\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:Bo [work]\r\nEMAIL:bo2@x\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:" + std::string(300, 'z') + "(\r\nEND:VCARD\r\n"));
  const ImportReport& report = outcome.report;
  EXPECT_EQ(report.imported, 2u);
  EXPECT_EQ(report.fitted, 1u);
  EXPECT_EQ(report.alreadyInBook, 1u);  // the fitted name is the key it is compared by
  ASSERT_EQ(report.lines.size(), 3u);
  EXPECT_EQ(report.lines[0].description, "Bo [work]");
  EXPECT_EQ(report.lines[0].reason, ReportReason::kFitted);
  EXPECT_EQ(report.lines[2].description, std::string(258, 'z'));  // as it would be stored
  EXPECT_NE(Text(report).find("\n<2103>1"), std::string::npos);
}

TEST_F(FittingMerge, UnshowableGroupsStayLeftOutAndRefusedListsAreTold) {
  ImportOutcome vcard = Merge(*ReadVCard(
      "BEGIN:VCARD\r\nFN:Ann\r\nEMAIL:a@x\r\nCATEGORIES:\xE7\x8E\x8B,Ok?\r\nEND:VCARD\r\n"));
  ASSERT_EQ(vcard.groups.size(), 1u);
  EXPECT_EQ(std::string((*store.groups)[vcard.groups[0]].name), "Ok_");
  EXPECT_EQ(vcard.report.groupsLeftOut, 1u);
  ImportOutcome ldif = MergeContacts(ContactsFormat::kLdif,
                                     "dn: cn=\xE7\x8E\x8B\nobjectclass: groupOfNames\ncn: \xE7\x8E\x8B\n\n"
                                     "dn: cn=Empty\nobjectclass: groupOfNames\ncn:\n");
  ASSERT_EQ(ldif.report.lines.size(), 2u);
  EXPECT_EQ(ldif.report.lines[0].reason, ReportReason::kListLeftOut);
  EXPECT_EQ(ldif.report.lines[1].description, "Empty");  // named by its dn
  EXPECT_TRUE(ldif.report.WorthTelling());
}

TEST_F(FittingMerge, UnclosedQuotesReachTheReport) {
  ImportOutcome outcome = MergeContacts(ContactsFormat::kCsv, "Display Name,Primary Email\r\n\"Ann,a@x\r\nBo,b@x\r\n");
  ASSERT_EQ(outcome.persons.size(), 2u);
  EXPECT_EQ(Description(outcome.persons[0]), "'Ann");  // the literal quote, fitted
  EXPECT_EQ(outcome.report.unclosedQuoteLines, (std::vector<size_t>{2}));
  EXPECT_NE(Text(outcome.report).find("\n<2101>2"), std::string::npos);
}

}  // namespace
