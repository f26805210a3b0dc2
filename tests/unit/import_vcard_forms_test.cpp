// The vCard reader on cards written the way address programs write them, and its decoding
// steps. The native build's ANSI code page is Windows-1252.
#include <gtest/gtest.h>

#include <string>

#include "import/charset.h"
#include "import/import_readers.h"
#include "import/vcard_lines.h"
#include "import/vcard_values.h"

namespace {

std::string S(std::string_view v) { return std::string(v); }

struct Person {
  std::string description, email, first, middle, last, memo;
  bool operator==(const Person& o) const {
    return description == o.description && email == o.email && first == o.first &&
           middle == o.middle && last == o.last && memo == o.memo;
  }
};

std::ostream& operator<<(std::ostream& out, const Person& p) {
  return out << "{" << p.description << "|" << p.email << "|" << p.first << "|" << p.middle << "|"
             << p.last << "|" << p.memo << "}";
}

std::vector<Person> Read(const std::string& text) {
  std::optional<ImportBatch> batch = ReadVCard(text);
  EXPECT_TRUE(batch.has_value());
  std::vector<Person> people;
  for (uint32_t i = 0; batch && i < batch->count(); ++i) {
    const ImportEntry& e = (*batch)[i];
    people.push_back({S(e.description), S(e.email), S(e.firstName), S(e.middleName),
                      S(e.lastName), S(e.memo)});
  }
  return people;
}

// ---- whole files in the forms of the common exporters ---------------------------------------

TEST(VCardForms, VersionThreeWithTypeListsGroupsFoldingAndPhoto) {
  std::string text =
      "BEGIN:VCARD\r\nVERSION:3.0\r\nPRODID:-//Sample//Contacts 1.0//EN\r\n"
      "N:Smith;John;;;\r\nFN:John Smith\r\n"
      "item1.EMAIL;type=INTERNET;type=pref:john.smith@example.com\r\n"
      "item1.X-ABLabel:_$!<Other>!$_\r\n"
      "EMAIL;TYPE=INTERNET,HOME:js@home.example\r\n"
      "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAAMCAgMCAgMDAwMEAwMEBQgF\r\n"
      " BQQEBQoHBwYIDAoMDAsKCwsNDhIQDQ4RDgsLEBYQERMUFRUVDA8XGBYUGBIUFRT/2wBDAQMEBAUE\r\n"
      " N:Evil;Not;A;Name\r\n"
      "NOTE:Met at the fair in Oslo\\, 2019\\; said hello.\\nCall back on Monday\\, bri\r\n"
      " ng the papers.\r\nEND:VCARD\r\n";
  EXPECT_EQ(Read(text),
            (std::vector<Person>{{"John Smith", "john.smith@example.com", "John", "", "Smith",
                                  "Met at the fair in Oslo, 2019; said hello. Call back on "
                                  "Monday, bring the papers."}}));
}

TEST(VCardForms, VersionTwoOneWithQuotedPrintableCharsetAndBareParameters) {
  // Windows-1252 bytes labelled so, soft line breaks, and CR LF breaks inside the note.
  std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "N;LANGUAGE=en-us;CHARSET=Windows-1252:M\xFCller;J\xFCrgen;K.\r\n"
      "FN;CHARSET=Windows-1252;ENCODING=QUOTED-PRINTABLE:J=FCrgen M=FCller\r\n"
      "NOTE;ENCODING=QUOTED-PRINTABLE:First line=0D=0ASecond line with a very long tex=\r\n"
      "t that goes on=0D=0A\r\n"
      "EMAIL;PREF;INTERNET:juergen@example.de\r\n"
      "EMAIL;INTERNET:other@example.de\r\n"
      "X-MS-OL-DEFAULT-POSTAL-ADDRESS:0\r\nEND:VCARD\r\n";
  EXPECT_EQ(Read(text),
            (std::vector<Person>{{"J\xFCrgen M\xFCller", "juergen@example.de", "J\xFCrgen", "K.",
                                  "M\xFCller",
                                  "First line Second line with a very long text that goes on"}}));
}

TEST(VCardForms, AndroidQuotedPrintableUtf8WithSoftBreaksAtLineStart) {
  // The continuation line starts with "=", which must not be taken as a fold or a property.
  std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\n"
      "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85berg;=C3=85sa;;;\r\n"
      "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=85sa =C3=85berg =E2=82=AC=\r\n"
      "=E2=82=AC\r\n"
      "EMAIL;HOME:asa@example.se\r\nEND:VCARD\r\n";
  EXPECT_EQ(Read(text), (std::vector<Person>{{"\xC5sa \xC5" "berg \x80\x80", "asa@example.se",
                                               "\xC5sa", "", "\xC5" "berg", ""}}));
}

TEST(VCardForms, VersionFourLowestPrefWins) {
  std::string text =
      "BEGIN:VCARD\nVERSION:4.0\nFN:Ann Lee\nN:Lee;Ann;;;\n"
      "EMAIL;PREF=3:third@x\nEMAIL:plain@x\nEMAIL;TYPE=work;PREF=1:first@x\n"
      "EMAIL;PREF=1:also-first@x\nEND:VCARD\n";
  ASSERT_EQ(Read(text).size(), 1u);
  EXPECT_EQ(Read(text)[0].email, "first@x");
  // Without any preference the first address counts.
  EXPECT_EQ(Read("BEGIN:VCARD\nFN:A\nEMAIL:one@x\nEMAIL:two@x\nEND:VCARD\n")[0].email, "one@x");
}

TEST(VCardForms, ByteOrderMarkBlankLinesAndMixedLineEnds) {
  std::string text =
      "\xEF\xBB\xBF\r\n\r\nbegin:vCard\r\r\nversion:3.0\r\r\nfn:Bo\rEMAIL:bo@x\n"
      "N:\xC3\x98stby;Bo\r\r\nend:VCARD\r\r\n";
  EXPECT_EQ(Read(text), (std::vector<Person>{{"Bo", "bo@x", "Bo", "", "\xD8stby", ""}}));
}

TEST(VCardForms, ParametersOfAFoldedLineOutliveTheLinesAfterIt) {
  std::vector<Person> p = Read(
      "BEGIN:VCARD\r\nFN;CHARSET=Windows-1252:Andr\r\n \xE9\r\nNOTE:a long note that is\r\n "
      "folded over two lines and more\r\nEMAIL:a@x\r\nEND:VCARD\r\n");
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].description, "Andr\xE9");
  EXPECT_EQ(p[0].memo, "a long note that isfolded over two lines and more");
}

TEST(VCardForms, UnindentedBase64AndCarriageReturnOnlyLineEnds) {
  // vCard 2.1 BASE64 lines need no indent; they hold no colon, so none is taken for a property.
  std::string text =
      "BEGIN:VCARD\rVERSION:2.1\rFN:Cy\rPHOTO;ENCODING=BASE64;TYPE=GIF:R0lGODdhfgA4AOYAAAAAAK+vr62t\r"
      "EMAILrbKys+Pj46mpqaioqKWlpaOjo6GhoZ+fn52dnZubm5mZmZeXl5WVlZOTk5GRkY+Pj42NjYuLi4mJ\r"
      "N+Tk5OLi4uDg4N7e3tzc3Nra2tjY2NbW1tTU1NLS0tDQ0M7OzszMzMrKysjIyMbGxsTExMLCwsDAwL6+\r\r"
      "EMAIL;INTERNET:cy@x\rEND:VCARD\r";
  EXPECT_EQ(Read(text), (std::vector<Person>{{"Cy", "cy@x", "", "", "", ""}}));
}

TEST(VCardForms, OutlookNameLineWithLanguageAndCardsWithoutMail) {
  std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN;LANGUAGE=en-us:Doe;Jane\r\nFN:Jane Doe\r\n"
      "EMAIL;PREF;INTERNET:jane@example.com\r\nEND:VCARD\r\n\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Nomail;Ned\r\nFN:Ned\r\nTEL;WORK:123\r\nEND:VCARD\r\n";
  EXPECT_EQ(Read(text), (std::vector<Person>{{"Jane Doe", "jane@example.com", "Jane", "", "Doe",
                                               ""}}));
}

TEST(VCardForms, NameListsEscapesAndSemicolonsInParts) {
  auto names = [](const std::string& n) {
    std::vector<Person> p = Read("BEGIN:VCARD\r\n" + n + "\r\nEMAIL:a@b\r\nEND:VCARD\r\n");
    return p.empty() ? std::string("none") : p[0].first + "|" + p[0].middle + "|" + p[0].last;
  };
  EXPECT_EQ(names("N:Smith;John;Paul,George;;"), "John|Paul George|Smith");
  EXPECT_EQ(names("N:Smith\\, Jr.;John;;;"), "John||Smith, Jr.");
  EXPECT_EQ(names("N:Smith\\;Jones;John;;;"), "John||Smith,Jones");
  EXPECT_EQ(names("N: Smith ; John ;;;"), "John||Smith");
  // vCard 2.1 has no lists: a comma is a comma.
  EXPECT_EQ(names("VERSION:2.1\r\nN:Smith;John,Paul"), "John,Paul||Smith");
}

TEST(VCardForms, LongValuesAreLeftWholeForTheMergeToCut) {
  std::string text = "BEGIN:VCARD\r\nFN:" + std::string(300, 'd') + "\r\nEMAIL:" +
                     std::string(200, 'e') + "\r\nNOTE:" + std::string(400, 'n') +
                     "\r\nEND:VCARD\r\n";
  std::vector<Person> p = Read(text);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].description.size(), 300u);
  EXPECT_EQ(p[0].email.size(), 200u);
  EXPECT_EQ(p[0].memo.size(), 400u);
}

TEST(VCardForms, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  std::vector<Person> p =
      Read("BEGIN:VCARD\r\nFN:\xE5\xB1\xB1\xE7\x94\xB0 Taro\r\nEMAIL:t@x\r\nNOTE:\xE5\xB1\xB1\r\nEND:VCARD\r\n");
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].description, "t@x");  // "?? Taro" could not be told from other such names
  EXPECT_EQ(p[0].memo, "?");
  // Bytes that are not UTF-8 and carry no charset are taken as ANSI.
  p = Read("BEGIN:VCARD\r\nFN:Andr\xE9\r\nEMAIL:a@x\r\nEND:VCARD\r\n");
  EXPECT_EQ(p[0].description, "Andr\xE9");
}

// ---- decoding steps --------------------------------------------------------------------------

TEST(VCardDecoding, EscapesAndLineBreaks) {
  EXPECT_EQ(Unescape("a\\\\b\\,c\\;d\\ne\\Nf\\\"g\\:h", false), "a\\b,c;d e f\"g:h");
  EXPECT_EQ(Unescape("one\r\ntwo\rthree\nfour", false), "one two three four");
  EXPECT_EQ(Unescape("trailing\\", false), "trailing\\");
  EXPECT_EQ(Unescape("C:\\temp\\;x", true), "C:\\temp;x");
}

TEST(VCardDecoding, QuotedPrintableAndCharsets) {
  ValueParams qp;
  qp.quotedPrintable = true;
  EXPECT_EQ(ValueToUtf8("a=3Db=XYc=", qp), "a=b=XYc=");
  EXPECT_EQ(ValueToUtf8("a=00b", qp), "ab");
  ValueParams latin;
  latin.charset = "iso-8859-1";
  EXPECT_EQ(ValueToUtf8("\xE9", latin), "\xC3\xA9");
  ValueParams unknown;
  unknown.charset = "x-unknown";
  EXPECT_EQ(ValueToUtf8("\xC3\xA9", unknown), "\xC3\xA9");
  EXPECT_EQ(ValueToUtf8("\xE9", unknown), "\xC3\xA9");  // not UTF-8: ANSI
  EXPECT_EQ(CodePageOfCharset("shift_jis"), std::optional<uint32_t>(932));
}

TEST(VCardDecoding, ParametersInTheirThreeForms) {
  EXPECT_EQ(ParseParams("PREF;INTERNET").preference, 1u);
  EXPECT_EQ(ParseParams("type=INTERNET;type=pref").preference, 1u);
  EXPECT_EQ(ParseParams("TYPE=\"home,pref\"").preference, 1u);
  EXPECT_EQ(ParseParams("PREF=7").preference, 7u);
  EXPECT_EQ(ParseParams("TYPE=HOME").preference, ValueParams::kNotPreferred);
  EXPECT_TRUE(ParseParams("QUOTED-PRINTABLE").quotedPrintable);
  EXPECT_EQ(S(ParseParams("ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8").charset), "UTF-8");
}

TEST(VCardDecoding, SplitsOnlyAtUnescapedSeparators) {
  std::vector<std::string_view> parts = SplitUnescaped("a\\;b;c\\\\;d", ';');
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(S(parts[0]), "a\\;b");
  EXPECT_EQ(S(parts[1]), "c\\\\");
  EXPECT_EQ(S(parts[2]), "d");
}

TEST(Charset, Utf8ValidityAndConversionBothWays) {
  EXPECT_TRUE(IsValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\xC3"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_EQ(AnsiToUtf8("\x80\xE9\x81"), "\xE2\x82\xAC\xC3\xA9\xC2\x81");
  EXPECT_EQ(Utf8ToAnsi("\xE2\x82\xAC\xC3\xA9\xC2\x81\xF0\x9F\x98\x80"), "\x80\xE9\x81?");
  std::string every;
  for (int c = 1; c < 256; ++c) every.push_back(static_cast<char>(c));
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(every)), every);
}

}  // namespace
