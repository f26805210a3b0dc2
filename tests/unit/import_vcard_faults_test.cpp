// Cards in the forms that used to lose or corrupt persons: Android's quoted-printable, line-end
// forms, byte-order marks inside the text, UTF-16, values that decode to nothing, folded
// parameters, cards nested in cards; and groups read from CATEGORIES.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/import_readers.h"

namespace {

std::string S(std::string_view v) { return std::string(v); }

struct Found {
  std::string description, email, first, last, memo;
  std::vector<std::string> groups;
};

std::vector<Found> Read(const std::string& text) {
  std::optional<ImportBatch> batch = ReadVCard(text);
  EXPECT_TRUE(batch.has_value());
  std::vector<Found> found;
  for (uint32_t i = 0; batch && i < batch->count(); ++i) {
    const ImportEntry& e = (*batch)[i];
    Found f{S(e.description), S(e.email), S(e.firstName), S(e.lastName), S(e.memo), {}};
    for (std::string_view g : e.groups) f.groups.push_back(S(g));
    found.push_back(f);
  }
  return found;
}

std::vector<std::string> Descriptions(const std::string& text) {
  std::vector<std::string> out;
  for (const Found& f : Read(text)) out.push_back(f.description + "/" + f.email);
  return out;
}

// Android's encoder: "=" and a line break after every 23 encoded bytes, the last one included.
std::string AndroidQuotedPrintable(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    out += '=';
    out += kHex[b >> 4];
    out += kHex[b & 15];
    if ((i + 1) % 23 == 0) out += "=\r\n";
  }
  return out;
}

std::string AndroidCard(const std::string& fn, const std::string& after, const std::string& note = "") {
  std::string card = "BEGIN:VCARD\r\nVERSION:2.1\r\n";
  card += "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + AndroidQuotedPrintable(fn) + "\r\n";
  if (!note.empty()) card += "NOTE;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:" + AndroidQuotedPrintable(note) + "\r\n";
  return card + after + "END:VCARD\r\n";
}

TEST(VCardFaults, AndroidSoftBreakBeforeAnEmptyLineEndsTheValue) {
  std::string name23 = "J\xC3\xBCrgen M\xC3\xBCller-Schmidt";  // 23 bytes
  ASSERT_EQ(name23.size(), 23u);
  // Followed by EMAIL: the person used to be lost.
  EXPECT_EQ(Descriptions(AndroidCard(name23, "EMAIL;HOME:j@x\r\n")),
            (std::vector<std::string>{"J\xFCrgen M\xFCller-Schmidt/j@x"}));
  // Followed by TEL: it used to be glued onto the description.
  EXPECT_EQ(Descriptions(AndroidCard(name23, "TEL;CELL:+49 170 1234567\r\nEMAIL:j@x\r\n")),
            (std::vector<std::string>{"J\xFCrgen M\xFCller-Schmidt/j@x"}));
  // A note of 46 bytes used to end in "END:VCARD".
  std::string note46 = std::string(23, 'a') + std::string(23, 'b');
  std::vector<Found> f = Read(AndroidCard("Ann", "EMAIL:a@x\r\n", note46) + AndroidCard("Bob", "EMAIL:b@x\r\n"));
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].memo, note46);
  EXPECT_EQ(f[1].description, "Bob");
}

TEST(VCardFaults, CarriageReturnTwiceBeforeALineFeedIsOneLineEnd) {
  std::string text =
      "BEGIN:VCARD\r\r\nVERSION:2.1\r\r\nFN;ENCODING=QUOTED-PRINTABLE:Ann=\r\r\n Lee\r\r\n"
      "EMAIL:a@x\r\r\nEND:VCARD\r\r\n";
  EXPECT_EQ(Descriptions(text), (std::vector<std::string>{"Ann Lee/a@x"}));
  // Mixed with CR-only and LF-only lines.
  EXPECT_EQ(Descriptions("BEGIN:VCARD\rFN:Bob\nEMAIL:b@x\r\r\nEND:VCARD\rBEGIN:VCARD\nFN:Cy\r\nEMAIL:c@x\rEND:VCARD"),
            (std::vector<std::string>{"Bob/b@x", "Cy/c@x"}));
}

TEST(VCardFaults, ByteOrderMarkAtTheStartOfAnyLineIsPassedOver) {
  std::string file1 = "\xEF\xBB\xBF" "BEGIN:VCARD\r\nFN:Ann\r\nEMAIL:a@x\r\nEND:VCARD\r\n";
  std::string file2 = "\xEF\xBB\xBF" "BEGIN:VCARD\r\nFN:Bob\r\nEMAIL:b@x\r\nEND:VCARD\r\n";
  EXPECT_EQ(Descriptions(file1 + file2), (std::vector<std::string>{"Ann/a@x", "Bob/b@x"}));
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    if (bigEndian) out += '\0';
    out += c;
    if (!bigEndian) out += '\0';
  }
  return out;
}

TEST(VCardFaults, Utf16FilesInEitherByteOrderAreDecoded) {
  std::string card = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nEMAIL:a@x\r\nEND:VCARD\r\n";
  EXPECT_EQ(Descriptions(Utf16(card, false)), (std::vector<std::string>{"Ann/a@x"}));
  EXPECT_EQ(Descriptions(Utf16(card, true)), (std::vector<std::string>{"Ann/a@x"}));
  // Characters beyond ASCII, with the loaded text's terminating zero after it.
  std::string wide = "\xFF\xFE";
  for (char16_t c : std::u16string(u"BEGIN:VCARD\r\nFN:Zo\u00EB \u0141\r\nEMAIL:z@x\r\nEND:VCARD\r\n")) {
    wide += static_cast<char>(c & 0xFF);
    wide += static_cast<char>(c >> 8);
  }
  wide += '\0';
  EXPECT_EQ(Descriptions(wide), (std::vector<std::string>{"Zo\xEB L/z@x"}));
}

TEST(VCardFaults, ValuesThatDecodeToNothingCountAsAbsent) {
  EXPECT_EQ(Descriptions("BEGIN:VCARD\r\nFN:Ann\r\nEMAIL;PREF;ENCODING=QUOTED-PRINTABLE:=00\r\n"
                         "EMAIL:a@x\r\nEND:VCARD\r\n"),
            (std::vector<std::string>{"Ann/a@x"}));
  EXPECT_EQ(Descriptions("BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:=20\r\nFN:Ann\r\nN:;;;;\r\n"
                         "N:Lee;Ann\r\nEMAIL:a@x\r\nEND:VCARD\r\n"),
            (std::vector<std::string>{"Ann/a@x"}));
  std::vector<Found> f = Read("BEGIN:VCARD\r\nN:;;;;\r\nN:Lee;Ann\r\nEMAIL:a@x\r\nEND:VCARD\r\n");
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(f[0].last, "Lee");
}

TEST(VCardFaults, FoldInsideTheParametersStillGivesTheirEncoding) {
  std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=UTF-8;\r\n ENCODING=QUOTED-PRINTABLE:Ren=C3=\r\n=A9 Roy\r\n"
      "EMAIL:r@x\r\nEND:VCARD\r\n";
  EXPECT_EQ(Descriptions(text), (std::vector<std::string>{"Ren\xE9 Roy/r@x"}));
}

TEST(VCardFaults, SemicolonMadeByTheConversionStaysInsideItsNamePart) {
  std::vector<Found> f = Read("BEGIN:VCARD\r\nN:Smith\xEF\xBC\x9BJones;John\r\nEMAIL:j@x\r\nEND:VCARD\r\n");
  ASSERT_EQ(f.size(), 1u);
  EXPECT_EQ(f[0].last, "Smith,Jones");
  EXPECT_EQ(f[0].first, "John");
}

TEST(VCardFaults, NestedAgentCardIsSkippedWhole) {
  std::string text =
      "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Boss\r\nAGENT:\r\nBEGIN:VCARD\r\nVERSION:2.1\r\nFN:Assistant\r\n"
      "EMAIL:asst@x\r\nEND:VCARD\r\nEMAIL:boss@x\r\nNOTE:after the agent\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nFN:Next\r\nEMAIL:n@x\r\nEND:VCARD\r\n";
  std::vector<Found> f = Read(text);
  ASSERT_EQ(f.size(), 2u);
  EXPECT_EQ(f[0].description, "Boss");
  EXPECT_EQ(f[0].email, "boss@x");
  EXPECT_EQ(f[0].memo, "after the agent");
  EXPECT_EQ(f[1].description, "Next");
  // The same with the nested card's first line on the AGENT line.
  EXPECT_EQ(Descriptions("BEGIN:VCARD\r\nFN:Boss\r\nAGENT:BEGIN:VCARD\r\nFN:A\r\nEMAIL:a@x\r\nEND:VCARD\r\n"
                         "EMAIL:boss@x\r\nEND:VCARD\r\n"),
            (std::vector<std::string>{"Boss/boss@x"}));
}

TEST(VCardFaults, CategoriesNameTheGroups) {
  std::vector<Found> f = Read(
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\nEMAIL:a@x\r\nCATEGORIES:Friends\\, old, Work ,\\\\Club\r\n"
      "CATEGORIES:Chess\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Bob\r\nEMAIL:b@x\r\nCATEGORIES:Work;Chess,Club\r\nEND:VCARD\r\n"
      "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cy\r\nEMAIL:c@x\r\nCATEGORIES:\r\n"
      "CATEGORIES;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Caf=C3=A9\r\nEND:VCARD\r\n");
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].groups, (std::vector<std::string>{"Friends, old", "Work", "\\Club", "Chess"}));
  EXPECT_EQ(f[1].groups, (std::vector<std::string>{"Work", "Chess", "Club"}));
  EXPECT_EQ(f[2].groups, (std::vector<std::string>{"Caf\xE9"}));
}

}  // namespace
