// Export as Outlook CSV and as LDIF: the exact text, the quoting and escaping rules, what a
// selection writes, and reading the files back with the program's own readers. The native
// build's ANSI code page is Windows-1252.
#include <gtest/gtest.h>

#include <string>

#include "export/csv_export.h"
#include "export/export_selection.h"
#include "export/ldif_export.h"
#include "import/base64.h"
#include "import/foreign_readers.h"
#include "tests/unit/dialogs_test_store.h"

namespace {

class ExportFormats : public ::testing::Test {
 protected:
  void SetUp() override {
    ann = AddTestPerson(book, "Ann Lee", "ann@example.org", "Ann;;Lee", "");
    ren = AddTestPerson(book, "Ren\xE9 Roy, Jr.", "rene@example.org", "Ren\xE9;Paul;Roy",
                    "Says \"hi\"\r\nthen leaves");
    gone = AddTestPerson(book, "Gone", "gone@example.org", ";;", "", 1);
    bo = AddTestPerson(book, "Bo", "", ";;", " blank first");
    team = AddTestGroup(book, "Team", {ren, gone, ann});
    AddTestGroup(book, "Old", {ann}, 1);
    choir = AddTestGroup(book, "Choir", {ann});
    CopyToField((*book.groups)[choir].memo, kTextFieldSize, "Tuesdays");
  }

  AddressStore book;
  uint32_t ann = 0, ren = 0, gone = 0, bo = 0, team = 0, choir = 0;
};

TEST_F(ExportFormats, OutlookCsvQuotesOnlyWhatNeedsIt) {
  std::string csv = WriteOutlookCsv(book, PersonsToExport(book, {}));
  EXPECT_EQ(csv,
            "First Name,Middle Name,Last Name,E-mail Address,E-mail Type,E-mail Display Name,Notes,"
            "Categories\r\n"
            "Ann,,Lee,ann@example.org,SMTP,Ann Lee,,Team;Choir\r\n"
            "Ren\xE9,Paul,Roy,rene@example.org,SMTP,\"Ren\xE9 Roy, Jr.\",\"Says \"\"hi\"\"\r\nthen leaves\","
            "Team\r\n"
            ",,,,SMTP,Bo,\" blank first\",\r\n");
}

TEST_F(ExportFormats, LdifAsThunderbirdWritesIt) {
  std::string ldif = WriteLdif(book, PersonsToExport(book, {}), GroupsToExport(book, {}));
  const std::string reneDn = "cn=Ren\xC3\xA9 Roy\\, Jr.,mail=rene@example.org";
  std::string reneDn64, memo64, cn64, given64;
  AppendBase64(reneDn64, reneDn);
  AppendBase64(memo64, "Says \"hi\"\r\nthen leaves");
  AppendBase64(cn64, "Ren\xC3\xA9 Roy, Jr.");
  AppendBase64(given64, "Ren\xC3\xA9");
  const std::string classes =
      "objectclass: top\r\nobjectclass: person\r\nobjectclass: organizationalPerson\r\n"
      "objectclass: inetOrgPerson\r\nobjectclass: mozillaAbPersonAlpha\r\n";
  EXPECT_EQ(ldif,
            "dn: cn=Ann Lee,mail=ann@example.org\r\n" + classes +
                "givenName: Ann\r\nsn: Lee\r\ncn: Ann Lee\r\nmail: ann@example.org\r\n\r\n"
                "dn:: " + reneDn64 + "\r\n" + classes +
                "givenName:: " + given64 + "\r\nsn: Roy\r\ncn:: " + cn64 +
                "\r\nmail: rene@example.org\r\ndescription:: " + memo64 + "\r\n\r\n"
                "dn: cn=Bo\r\n" + classes + "cn: Bo\r\ndescription:: IGJsYW5rIGZpcnN0\r\n\r\n"
                "dn: cn=Team\r\nobjectclass: top\r\nobjectclass: groupOfNames\r\ncn: Team\r\n"
                "member:: " + reneDn64 + "\r\nmember: cn=Ann Lee,mail=ann@example.org\r\n\r\n"
                "dn: cn=Choir\r\nobjectclass: top\r\nobjectclass: groupOfNames\r\ncn: Choir\r\n"
                "description: Tuesdays\r\nmember: cn=Ann Lee,mail=ann@example.org\r\n\r\n");
}

TEST_F(ExportFormats, LdifEscapesDnsAndFoldsLongLines) {
  AddressStore store;
  std::string longMemo(120, 'm');
  AddTestPerson(store, "#a+b=c;<d>\\ \"e\" ", "x@y", ";;", longMemo);
  std::string ldif = WriteLdif(store, PersonsToExport(store, {}), {});
  EXPECT_EQ(ldif.substr(0, ldif.find("\r\n")), "dn: cn=\\#a\\+b\\=c\\;\\<d\\>\\\\ \\\"e\\\"\\ ,mail=x@y");
  EXPECT_NE(ldif.find("description: " + std::string(63, 'm') + "\r\n " + std::string(57, 'm') + "\r\n"),
            std::string::npos);
  ForeignBook back = ReadLdif(ldif);
  ASSERT_EQ(back.persons.size(), 1u);
  EXPECT_EQ(back.persons[0].memo, longMemo);
  EXPECT_EQ(back.persons[0].description, "#a+b=c;<d>\\ \"e\"");
}

TEST_F(ExportFormats, SelectionWritesSelectedGroupsAndOnlyMembersWritten) {
  std::vector<ItemRef> selection = {MakeItemRef(choir, kGroupItem), MakeItemRef(bo, kPersonItem)};
  std::vector<uint32_t> persons = PersonsToExport(book, selection);
  EXPECT_EQ(persons, (std::vector<uint32_t>{ann, bo}));
  EXPECT_EQ(GroupsToExport(book, selection), (std::vector<uint32_t>{choir}));
  EXPECT_EQ(GroupsToExport(book, {MakeItemRef(ren, kPersonItem)}), (std::vector<uint32_t>{}));
  // Team is written but Ren is not: only Ann's member line.
  std::string ldif = WriteLdif(book, {ann}, {team});
  EXPECT_NE(ldif.find("cn: Team\r\nmember: cn=Ann Lee,mail=ann@example.org\r\n\r\n"), std::string::npos);
  EXPECT_EQ(ldif.find("rene"), std::string::npos);
}

TEST_F(ExportFormats, BothFilesReadBackAsTheyWereWritten) {
  std::optional<ForeignBook> csv = ReadContactsCsv(WriteOutlookCsv(book, PersonsToExport(book, {})));
  ASSERT_TRUE(csv.has_value());
  ASSERT_EQ(csv->persons.size(), 3u);
  const DecodedPerson& r = csv->persons[1];
  EXPECT_EQ(r.description, "Ren\xC3\xA9 Roy, Jr.");
  EXPECT_EQ(r.email, "rene@example.org");
  EXPECT_EQ(r.first, "Ren\xC3\xA9");
  EXPECT_EQ(r.middle, "Paul");
  EXPECT_EQ(r.last, "Roy");
  EXPECT_EQ(r.memo, "Says \"hi\" then leaves");
  EXPECT_EQ(csv->persons[0].groups, (std::vector<std::string>{"Team", "Choir"}));

  ForeignBook ldif = ReadLdif(WriteLdif(book, PersonsToExport(book, {}), GroupsToExport(book, {})));
  ASSERT_EQ(ldif.persons.size(), 3u);
  EXPECT_EQ(ldif.persons[1].description, "Ren\xC3\xA9 Roy, Jr.");
  EXPECT_EQ(ldif.persons[1].middle, "");  // LDIF has no place for it
  ASSERT_EQ(ldif.groups.size(), 2u);
  EXPECT_EQ(ldif.groups[0].name, "Team");
  EXPECT_EQ(ldif.groups[0].members, (std::vector<size_t>{1, 0}));
  EXPECT_TRUE(ldif.groups[0].missingMembers.empty());
  EXPECT_EQ(ldif.groups[1].memo, "Tuesdays");
}

}  // namespace
