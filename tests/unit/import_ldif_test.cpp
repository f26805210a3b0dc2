// The LDIF reader on files written the way Thunderbird and LDAP tools write them.
#include <gtest/gtest.h>

#include <string>

#include "import/base64.h"
#include "import/foreign_readers.h"

namespace {

std::string Base64(std::string_view bytes) {
  std::string out;
  AppendBase64(out, bytes);
  return out;
}

TEST(Base64, BothWaysWithPaddingAndLineBreaks) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("M"), "TQ==");
  EXPECT_EQ(Base64("Ma"), "TWE=");
  EXPECT_EQ(Base64("Man"), "TWFu");
  EXPECT_EQ(Base64("J\xC3\xBCrgen"), "SsO8cmdlbg==");
  EXPECT_EQ(DecodeBase64("SsO8cmdl\r\n bg=="), "J\xC3\xBCrgen");
  EXPECT_EQ(DecodeBase64("TWFu"), "Man");
}

TEST(LdifReader, ThunderbirdBookWithFoldedLinesBase64AndAMailingList) {
  std::string text =
      "version: 1\r\n"
      "# exported by hand for this test\r\n"
      "#  a comment that goes on\r\n"
      "\r\n"
      "dn: cn=Ann Lee,mail=ann@example.org\r\n"
      "objectclass: top\r\n"
      "objectclass: person\r\n"
      "objectclass: organizationalPerson\r\n"
      "objectclass: inetOrgPerson\r\n"
      "objectclass: mozillaAbPersonAlpha\r\n"
      "givenName: Ann\r\n"
      "sn: Lee\r\n"
      "cn: Ann Lee\r\n"
      "mail: ann@example.org\r\n"
      "description: A note that is long enough to be folded over more than one li\r\n"
      " ne of the file\r\n"
      "modifytimestamp: 0\r\n"
      "\r\n"
      "dn:: Y249SsO8cmdlbiBNw7xsbGVyLG1haWw9anVlcmdlbkBleGFtcGxlLmRl\r\n"
      "objectClass: inetOrgPerson\r\n"
      "GIVENNAME:: SsO8cmdlbg==\r\n"
      "surname: M\xC3\xBCller\r\n"
      "cn:: SsO8cmdlbiBNw7xsbGVy\r\n"
      "mail: juergen@example.de\r\n"
      "description:: WndlaQpaZWlsZW4=\r\n"
      "jpegPhoto:< file:///tmp/photo.jpg\r\n"
      "\r\n"
      "dn: cn=Choir\r\n"
      "objectclass: top\r\n"
      "objectclass: groupOfNames\r\n"
      "cn: Choir\r\n"
      "description: Tuesdays\r\n"
      "member: cn=J\xC3\xBCrgen M\xC3\xBCller, mail=juergen@example.de\r\n"
      "member: CN = ann lee , MAIL = ann@example.org\r\n"
      "member: cn=Gone,mail=gone@example.org\r\n"
      "\r\n";
  ForeignBook book = ReadLdif(text);
  ASSERT_EQ(book.persons.size(), 2u);
  const DecodedPerson& ann = book.persons[0];
  EXPECT_EQ(ann.description, "Ann Lee");
  EXPECT_EQ(ann.email, "ann@example.org");
  EXPECT_EQ(ann.first, "Ann");
  EXPECT_EQ(ann.last, "Lee");
  EXPECT_EQ(ann.memo, "A note that is long enough to be folded over more than one line of the file");
  const DecodedPerson& j = book.persons[1];
  EXPECT_EQ(j.description, "J\xC3\xBCrgen M\xC3\xBCller");
  EXPECT_EQ(j.first, "J\xC3\xBCrgen");
  EXPECT_EQ(j.last, "M\xC3\xBCller");
  EXPECT_EQ(j.memo, "Zwei Zeilen");
  ASSERT_EQ(book.groups.size(), 1u);
  const ForeignGroup& choir = book.groups[0];
  EXPECT_EQ(choir.name, "Choir");
  EXPECT_EQ(choir.memo, "Tuesdays");
  EXPECT_EQ(choir.members, (std::vector<size_t>{1, 0}));  // in the order of the member lines
  EXPECT_EQ(choir.missingMembers, (std::vector<std::string>{"Gone"}));
}

TEST(LdifReader, DescriptionFallsBackAndRecordsOfOtherKindsAreLeftAlone) {
  std::string text =
      "dn: mail=n@x\nobjectclass: person\nmozillaNickname: Nicky\nmail: n@x\n\n"
      "dn: mail=g@x\nobjectclass: person\ngivenName: Gil\nsn: Ray\nmail: g@x\n\n"
      "dn: mail=o@x\nobjectclass: person\nmail: o@x\n\n"
      "dn: cn=No Mail\nobjectclass: person\ncn: No Mail\n\n"
      "dn: ou=People\nobjectclass: organizationalUnit\nou: People\nmail: ou@x\n\n"
      "dn: cn=Empty list\nchangetype: add\nobjectclass: groupOfNames\ncn: Empty list\n";
  ForeignBook book = ReadLdif(text);
  ASSERT_EQ(book.persons.size(), 4u);
  EXPECT_EQ(book.persons[0].description, "Nicky");
  EXPECT_EQ(book.persons[1].description, "Gil Ray");
  EXPECT_EQ(book.persons[2].description, "o@x");
  EXPECT_EQ(book.persons[3].email, "");  // kept for the merge to count as not taken
  ASSERT_EQ(book.groups.size(), 1u);
  EXPECT_EQ(book.groups[0].name, "Empty list");
  EXPECT_TRUE(book.groups[0].members.empty());
}

TEST(LdifReader, LineEndsOfAnyKindAndNoTrailingBlankLine) {
  ForeignBook book = ReadLdif("dn: cn=A\robjectclass: person\rcn: A\rmail: a@x");
  ASSERT_EQ(book.persons.size(), 1u);
  EXPECT_EQ(book.persons[0].email, "a@x");
  EXPECT_TRUE(ReadLdif("").persons.empty());
  EXPECT_TRUE(ReadLdif(" folded\n\n:\n::\n").persons.empty());
}

}  // namespace
