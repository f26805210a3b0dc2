// The contacts CSV reader on files written the way Outlook, Google and Thunderbird write them,
// and its cell splitting. Reader output is UTF-8; the native build's ANSI code page is
// Windows-1252.
#include <gtest/gtest.h>

#include <string>

#include "import/csv_cells.h"
#include "import/csv_columns.h"
#include "import/foreign_readers.h"

namespace {

std::vector<CsvRow> Rows(std::string_view text, char delimiter = ',') {
  std::vector<CsvRow> rows;
  CsvRows reader(text, delimiter);
  CsvRow row;
  while (reader.Next(row)) rows.push_back(row);
  return rows;
}

std::string Utf16Le(std::string_view ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

const DecodedPerson& Only(const ForeignBook& book) {
  EXPECT_EQ(book.persons.size(), 1u);
  static const DecodedPerson none;
  return book.persons.empty() ? none : book.persons.front();
}

// ---- cells ---------------------------------------------------------------------------------

TEST(CsvCells, QuotedCellsHoldDelimitersQuotesAndEveryKindOfLineBreak) {
  std::string text =
      "a,\"b, with comma\",\"say \"\"hi\"\"\"\r\n"
      "\"two\r\nlines\",\"lf\nonly\",\"cr\ronly\"\n"
      "  blanks  kept inside  ,\"  quoted blanks \" trailing ,x\r"
      "last,row";
  std::vector<CsvRow> rows = Rows(text);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (CsvRow{"a", "b, with comma", "say \"hi\""}));
  EXPECT_EQ(rows[1], (CsvRow{"two\r\nlines", "lf\nonly", "cr\ronly"}));
  EXPECT_EQ(rows[2], (CsvRow{"blanks  kept inside", "quoted blanks  trailing", "x"}));
  EXPECT_EQ(rows[3], (CsvRow{"last", "row"}));
}

TEST(CsvCells, EmptyCellsTrailingDelimiterEmptyLinesAndUnclosedQuote) {
  EXPECT_EQ(Rows("a,,b,\r\n\r\n\n,\r\n"), (std::vector<CsvRow>{{"a", "", "b", ""}, {"", ""}}));
  EXPECT_EQ(Rows("x;\"open; to the end\r\nstill"), (std::vector<CsvRow>{{"x;\"open; to the end"}, {"still"}}));
  // A quote never closed is a plain character; the next line is a row of its own.
  EXPECT_EQ(Rows("x;\"open; to the end\r\nstill", ';'), (std::vector<CsvRow>{{"x", "\"open", "to the end"}, {"still"}}));
  EXPECT_TRUE(Rows("").empty());
}

TEST(CsvCells, DelimiterIsTheOneThatSplitsTheHeaderIntoMostKnownNames) {
  EXPECT_EQ(DetectCsvDelimiter("First Name,Last Name;Notes\r\n", IsKnownHeader), ',');
  EXPECT_EQ(DetectCsvDelimiter("First Name;Last Name;E-mail, private;Notes\r\n", IsKnownHeader), ';');
  EXPECT_EQ(DetectCsvDelimiter("\"First Name\"\t\"Last Name\"\tNotes", IsKnownHeader), '\t');
  EXPECT_EQ(DetectCsvDelimiter("nothing;known", IsKnownHeader), ',');
}

TEST(CsvColumns, NamesOfEveryExporterInAnyLetterCase) {
  EXPECT_EQ(ColumnOfHeader("e-mail address").column, CsvColumn::kEmailAddress);
  EXPECT_EQ(ColumnOfHeader(" E-MAIL-ADRESSE ").column, CsvColumn::kEmailAddress);
  EXPECT_EQ(ColumnOfHeader("Weitere Vornamen").column, CsvColumn::kMiddleName);
  EXPECT_EQ(ColumnOfHeader("E-Mail: Angezeigter Name").column, CsvColumn::kEmailDisplayName);
  EXPECT_EQ(ColumnOfHeader("Kategorien").column, CsvColumn::kCategories);
  EXPECT_EQ(ColumnOfHeader("Primary Email").column, CsvColumn::kPrimaryEmail);
  EXPECT_EQ(ColumnOfHeader("Group Membership").column, CsvColumn::kGroupMembership);
  CsvHeaderName value = ColumnOfHeader("E-mail 12 - Value");
  EXPECT_EQ(value.column, CsvColumn::kNumberedEmailValue);
  EXPECT_EQ(value.number, 12);
  EXPECT_EQ(ColumnOfHeader("E-mail 3 - Label").column, CsvColumn::kNumberedEmailType);
  EXPECT_EQ(ColumnOfHeader("E-mail 3 - Type").number, 3);
  EXPECT_EQ(ColumnOfHeader("E-mail - Value").column, CsvColumn::kUnknown);
  // Outlook in the other languages of this program, accented capitals folded too.
  EXPECT_EQ(ColumnOfHeader("PR\xC3\x89NOM").column, CsvColumn::kFirstName);
  EXPECT_EQ(ColumnOfHeader("Nom").column, CsvColumn::kLastName);
  EXPECT_EQ(ColumnOfHeader("Adresse de messagerie").column, CsvColumn::kEmailAddress);
  EXPECT_EQ(ColumnOfHeader("E-postadresse").column, CsvColumn::kEmailAddress);
  EXPECT_EQ(ColumnOfHeader("E-postnamn").column, CsvColumn::kEmailDisplayName);
  EXPECT_EQ(ColumnOfHeader("Categor\xC3\xAD" "as").column, CsvColumn::kCategories);
  EXPECT_EQ(ColumnOfHeader("Weergavenaam voor e-mail").column, CsvColumn::kEmailDisplayName);
  EXPECT_EQ(ColumnOfHeader("Indirizzo posta elettronica").column, CsvColumn::kEmailAddress);
  EXPECT_EQ(ColumnOfHeader("Mellemnavn").column, CsvColumn::kMiddleName);
  EXPECT_EQ(ColumnOfHeader("Business Phone").column, CsvColumn::kUnknown);
}

// ---- whole files ---------------------------------------------------------------------------

TEST(CsvReader, OutlookDesktopInGermanWindows1252) {
  // Every cell quoted, the header in German, a short second row (Outlook leaves trailing empty
  // cells out), an accented name, a quoted note of two lines and two categories.
  std::string text =
      "\"Anrede\",\"Vorname\",\"Weitere Vornamen\",\"Nachname\",\"Firma\",\"Stra\xDF" "e gesch\xE4" "ftlich\","
      "\"E-Mail-Adresse\",\"E-Mail-Typ\",\"E-Mail: Angezeigter Name\",\"Kategorien\",\"Notizen\"\r\n"
      "\"Herr\",\"J\xFCrgen\",\"Karl\",\"M\xFCller\",\"M\xFCller & S\xF6hne\",\"Hauptstra\xDF" "e 1\","
      "\"juergen@example.de\",\"SMTP\",\"J\xFCrgen M\xFCller (juergen@example.de)\",\"Kunden;Freunde\","
      "\"Erste Zeile\r\nzweite Zeile\"\r\n"
      "\"\",\"Eva\",\"\",\"Bauer\",\"\",\"\",\"eva@example.de\"\r\n";
  std::optional<ForeignBook> book = ReadContactsCsv(text);
  ASSERT_TRUE(book.has_value());
  ASSERT_EQ(book->persons.size(), 2u);
  const DecodedPerson& j = book->persons[0];
  EXPECT_EQ(j.description, "J\xC3\xBCrgen M\xC3\xBCller");
  EXPECT_EQ(j.email, "juergen@example.de");
  EXPECT_EQ(j.first, "J\xC3\xBCrgen");
  EXPECT_EQ(j.middle, "Karl");
  EXPECT_EQ(j.last, "M\xC3\xBCller");
  EXPECT_EQ(j.memo, "Erste Zeile zweite Zeile");
  EXPECT_EQ(j.groups, (std::vector<std::string>{"Kunden", "Freunde"}));
  const DecodedPerson& e = book->persons[1];
  EXPECT_EQ(e.description, "Eva Bauer");  // no display name: the name parts
  EXPECT_EQ(e.email, "eva@example.de");
  EXPECT_TRUE(e.groups.empty());
}

TEST(CsvReader, GoogleOlderFormInUtf16LittleEndianWithJoinedValues) {
  std::string text = Utf16Le(
      "Name,Given Name,Additional Name,Family Name,Nickname,Notes,Group Membership,"
      "E-mail 1 - Type,E-mail 1 - Value,E-mail 2 - Type,E-mail 2 - Value\r\n"
      "Ann Lee,Ann,,Lee,Annie,Met at the fair,* My Contacts ::: Friends ::: Choir,"
      "Home,ann@home.example ::: ann@old.example,* Work,ann@work.example\r\n"
      ",Ben,,,,,* My Contacts,Home,ben@home.example ::: ben@old.example,,\r\n");
  std::optional<ForeignBook> book = ReadContactsCsv(text + std::string(1, '\0'));
  ASSERT_TRUE(book.has_value());
  ASSERT_EQ(book->persons.size(), 2u);
  const DecodedPerson& ann = book->persons[0];
  EXPECT_EQ(ann.description, "Ann Lee");
  EXPECT_EQ(ann.email, "ann@work.example");  // the one marked "* "
  EXPECT_EQ(ann.memo, "Met at the fair");
  EXPECT_EQ(ann.groups, (std::vector<std::string>{"My Contacts", "Friends", "Choir"}));
  EXPECT_EQ(book->persons[1].email, "ben@home.example");  // no mark: the first of E-mail 1
  EXPECT_EQ(book->persons[1].description, "Ben");
}

TEST(CsvReader, GoogleNewerFormInUtf8) {
  std::string text =
      "First Name,Middle Name,Last Name,Phonetic First Name,Nickname,Notes,Labels,"
      "E-mail 1 - Label,E-mail 1 - Value,Phone 1 - Label,Phone 1 - Value\n"
      "Zo\xC3\xAB,,Ng,,,\"Line one\nline two\",* myContacts ::: Team,* Home,zoe@example.org,"
      "Mobile,+47 555 0100\n"
      ",,,,Kiddo,,,,kid@example.org,,\n";
  std::optional<ForeignBook> book = ReadContactsCsv(text);
  ASSERT_TRUE(book.has_value());
  ASSERT_EQ(book->persons.size(), 2u);
  EXPECT_EQ(book->persons[0].description, "Zo\xC3\xAB Ng");
  EXPECT_EQ(book->persons[0].email, "zoe@example.org");
  EXPECT_EQ(book->persons[0].memo, "Line one line two");
  EXPECT_EQ(book->persons[0].groups, (std::vector<std::string>{"myContacts", "Team"}));
  EXPECT_EQ(book->persons[1].description, "Kiddo");  // no names: the nickname
}

TEST(CsvReader, ThunderbirdWithSemicolonsAndATrailingDelimiter) {
  std::string text =
      "First Name;Last Name;Display Name;Nickname;Primary Email;Secondary Email;Notes;\r\n"
      "Bo;Berg;Bo Berg (work);bobo;bo@example.se;bo@old.example;ring \"after\" six;\r\n"
      "Ola;;;;;ola@example.no;;\r\n"
      ";;;;solo@example.no;;;\r\n";
  std::optional<ForeignBook> book = ReadContactsCsv(text);
  ASSERT_TRUE(book.has_value());
  ASSERT_EQ(book->persons.size(), 3u);
  EXPECT_EQ(book->persons[0].description, "Bo Berg (work)");  // no "@" inside: kept
  EXPECT_EQ(book->persons[0].email, "bo@example.se");
  EXPECT_EQ(book->persons[0].memo, "ring \"after\" six");
  EXPECT_EQ(book->persons[1].email, "");  // only a secondary address: not taken by the merge
  EXPECT_EQ(book->persons[1].description, "Ola");
  EXPECT_EQ(book->persons[2].description, "solo@example.no");  // nothing else: the address
}

TEST(CsvReader, DisplayNameLosesOnlyABracketedAddress) {
  std::string text =
      "E-mail Address,E-mail Display Name\r\n"
      "a@x.org,Ann (ann@x.org)\r\n"
      "b@x.org,Bob (old: bob@y.org) \r\n"
      "c@x.org,Cy (friend)\r\n"
      "d@x.org,\"(d@x.org)\"\r\n";
  std::optional<ForeignBook> book = ReadContactsCsv(text);
  ASSERT_TRUE(book.has_value());
  ASSERT_EQ(book->persons.size(), 4u);
  EXPECT_EQ(book->persons[0].description, "Ann");
  EXPECT_EQ(book->persons[1].description, "Bob");
  EXPECT_EQ(book->persons[2].description, "Cy (friend)");
  EXPECT_EQ(book->persons[3].description, "d@x.org");  // nothing left: the address
}

TEST(CsvReader, HeaderWithoutAnEmailColumnImportsNothing) {
  EXPECT_FALSE(ReadContactsCsv("First Name,Last Name,E-mail 2 Address\r\nA,B,a@b\r\n").has_value());
  EXPECT_FALSE(ReadContactsCsv("").has_value());
  EXPECT_FALSE(ReadContactsCsv("\xEF\xBB\xBF").has_value());
}

TEST(CsvReader, ByteOrderMarksAndEncodings) {
  // UTF-8 with a mark, UTF-16 big-endian, and ANSI text that is not valid UTF-8.
  std::optional<ForeignBook> marked = ReadContactsCsv("\xEF\xBB\xBF" "Display Name,Primary Email\nR\xC3\xA9my,r@x\n");
  ASSERT_TRUE(marked.has_value());
  EXPECT_EQ(Only(*marked).description, "R\xC3\xA9my");
  std::string big = "\xFE\xFF";
  for (char c : std::string("Display Name,Primary Email\nRo,r@x\n")) {
    big.push_back('\0');
    big.push_back(c);
  }
  std::optional<ForeignBook> bigEndian = ReadContactsCsv(big);
  ASSERT_TRUE(bigEndian.has_value());
  EXPECT_EQ(Only(*bigEndian).description, "Ro");
  std::optional<ForeignBook> ansi = ReadContactsCsv("Display Name,Primary Email\nR\xE9my,r@x\n");
  ASSERT_TRUE(ansi.has_value());
  EXPECT_EQ(Only(*ansi).description, "R\xC3\xA9my");
}

}  // namespace
