#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/cp1251.h"
#include "platform/text_case.h"
#include "support/temp_dir.h"

namespace orti {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Read(const ProfileText& text, const char* section, const char* key) {
  std::string value;
  return text.Read(section, key, value) ? value : "<missing>";
}

TEST(ProfileText, FindsKeysWithoutRegardToCaseAndIgnoresBlanks) {
  ProfileText text(
      "; comment\r\n"
      "orphan=before any section\r\n"
      "  [ startPAGE ]  \r\n"
      "  startpage =  3  \r\n"
      "StartStyle=\r\n"
      "[Users]\n"
      "User0=Ivanov_Ivan_Ivanovich\n");
  EXPECT_EQ(Read(text, "Startpage", "Startpage"), "3");
  EXPECT_EQ(Read(text, "STARTPAGE", "STARTPAGE"), "3");
  EXPECT_EQ(Read(text, "Startpage", "StartStyle"), "<missing>");     // empty counts as missing
  EXPECT_EQ(Read(text, "Startpage", "User0"), "<missing>");          // other section
  EXPECT_EQ(Read(text, "users", "USER0"), "Ivanov_Ivan_Ivanovich");  // LF-only lines
  EXPECT_EQ(Read(text, "Nowhere", "orphan"), "<missing>");
  EXPECT_EQ(Read(text, "Users", "Missing"), "<missing>");
}

TEST(ProfileText, DecodesCp1251AndMatchesCyrillicNamesInAnyCase) {
  ProfileText text(Utf8ToCp1251("[Раздел]\r\nКлюч=Новая папка\r\n"));
  EXPECT_EQ(Read(text, "раздел", "КЛЮЧ"), "Новая папка");
}

TEST(ProfileText, FirstOfTwoEqualSectionsAndKeysWins) {
  ProfileText text("[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n");
  EXPECT_EQ(Read(text, "a", "K"), "1");
  text.Write("A", "K", "9");
  EXPECT_EQ(text.Bytes(), "[A]\r\nK=9\r\nk=2\r\n[a]\r\nk=3\r\n");
}

TEST(ProfileText, ReplacingAKeyKeepsEveryOtherByte) {
  const std::string before =
      "; written by hand\r\n"
      "\r\n"
      "[Startpage]\n"
      "Startpage=1\n"
      "Foreign = keep  me \r\n"
      "\r\n"
      "[Other]\r\n"
      "x=y";
  ProfileText text(before);
  text.Write("STARTPAGE", "startpage", "3");
  std::string expected = before;
  expected.replace(expected.find("Startpage=1"), 11, "startpage=3");
  EXPECT_EQ(text.Bytes(), expected);
}

TEST(ProfileText, NewKeyGoesAfterTheLastLineOfItsSection) {
  ProfileText text("[A]\r\nk=1\r\n; note\r\n\r\n[B]\r\nm=2");
  text.Write("a", "new", "v");
  EXPECT_EQ(text.Bytes(), "[A]\r\nk=1\r\n; note\r\nnew=v\r\n\r\n[B]\r\nm=2");
  text.Write("B", "n", "w");  // the file ended without a line break
  EXPECT_EQ(text.Bytes(), "[A]\r\nk=1\r\n; note\r\nnew=v\r\n\r\n[B]\r\nm=2\r\nn=w\r\n");
}

TEST(ProfileText, MissingSectionIsAppendedAtTheEnd) {
  ProfileText empty;
  empty.Write("Users", "UsersCount", "0");
  EXPECT_EQ(empty.Bytes(), "[Users]\r\nUsersCount=0\r\n");

  ProfileText unterminated("[A]\nk=1");
  unterminated.Write("FolderName", "NewFolderName", "Новая_папка");
  EXPECT_EQ(unterminated.Bytes(),
            "[A]\nk=1\r\n[FolderName]\r\nNewFolderName=" + Utf8ToCp1251("Новая_папка") + "\r\n");
  EXPECT_EQ(Read(unterminated, "foldername", "newfoldername"), "Новая_папка");
}

TEST(ProfileText, ValueCannotInjectLines) {
  ProfileText text;
  text.Write("A", "k", "one\r\n[B]\nx=1");
  EXPECT_EQ(Read(text, "A", "k"), "one  [B] x=1");
  EXPECT_EQ(Read(text, "B", "x"), "<missing>");
  EXPECT_EQ(text.LineCount(), 2u);
}

TEST(ProfileNumber, LeadingDigitsAfterBlanksAndSign) {
  EXPECT_EQ(ProfileNumber("3"), 3);
  EXPECT_EQ(ProfileNumber("  12abc"), 12);
  EXPECT_EQ(ProfileNumber("-4"), -4);
  EXPECT_EQ(ProfileNumber("+7"), 7);
  EXPECT_EQ(ProfileNumber("x1"), 0);
  EXPECT_EQ(ProfileNumber(""), 0);
  EXPECT_EQ(ProfileNumber("99999999999999999999"), 2147483647);
  EXPECT_EQ(ProfileNumber("-99999999999999999999"), -2147483647 - 1);
}

TEST(ProfileFile, WriteCreatesTheFileAndReadFindsIt) {
  TempDir dir;
  const std::string path = dir.File("orti415.ini");
  std::string value;
  EXPECT_FALSE(ReadSetting(path, "Startpage", "Startpage", value));
  ASSERT_TRUE(WriteSetting(path, "Startpage", "Startpage", "2").ok);
  ASSERT_TRUE(WriteSetting(path, "FolderName", "NewFolderName", "Моя_папка").ok);
  EXPECT_EQ(ReadBytes(path), "[Startpage]\r\nStartpage=2\r\n[FolderName]\r\nNewFolderName=" +
                                 Utf8ToCp1251("Моя_папка") + "\r\n");
  ASSERT_TRUE(ReadSetting(path, "foldername", "NEWFOLDERNAME", value));
  EXPECT_EQ(value, "Моя_папка");
}

TEST(ProfileFile, FailedWriteLeavesTheOldFile) {
  TempDir dir;
  FileResult missingFolder = WriteSetting(dir.File("no/such/orti415.ini"), "A", "k", "v");
  EXPECT_FALSE(missingFolder.ok);
  EXPECT_EQ(missingFolder.errorNumber, ENOENT);

  // A directory in the file's place can be neither read nor replaced.
  const std::string taken = dir.File("taken.ini");
  ASSERT_EQ(mkdir(taken.c_str(), 0755), 0);
  EXPECT_FALSE(WriteSetting(taken, "A", "k", "v").ok);
  struct stat st {};
  ASSERT_EQ(stat(taken.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
}

TEST(TextCase, CyrillicAndLatinFoldAndSortAlphabetically) {
  EXPECT_TRUE(EqualNoCaseCp1251(Utf8ToCp1251("ёЛКА Tree"), Utf8ToCp1251("ЁлкА tREE")));
  EXPECT_FALSE(EqualNoCaseCp1251(Utf8ToCp1251("Ёж"), Utf8ToCp1251("Еж")));
  EXPECT_EQ(CompareNoCase("иванов", "ИВАНОВ"), 0);
  EXPECT_LT(CompareNoCase("Ежов", "ёлкин"), 0);
  EXPECT_LT(CompareNoCase("ёлкин", "Жуков"), 0);
  EXPECT_LT(CompareNoCase("яков", "Яковлев"), 0);
  EXPECT_LT(CompareNoCase("Smith", "абрамов"), 0);
  EXPECT_GT(CompareNoCase("Борисов", "андреев"), 0);
}

}  // namespace
}  // namespace orti
