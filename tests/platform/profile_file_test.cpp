#include "platform/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <vector>

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

namespace orti {
namespace {

// What GetPrivateProfileStringA returns for these files: one row
// per rule of the Windows profile-string functions.
struct WindowsCase {
  const char* name;
  std::string file;  // cp1251 bytes, or UTF-8 or UTF-16 after a byte-order mark
  const char* section;
  const char* key;
  const char* value;  // nullptr: missing (or empty, which counts as missing)
};

// "\xFF\xFE" and the text as UTF-16 LE, or "\xFE\xFF" and BE (ASCII and Cyrillic).
std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : text) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

std::vector<WindowsCase> WindowsCases() {
  const std::string nul("\0", 1);
  return {
      {"UTF-8 mark skipped", "\xEF\xBB\xBF[Users]\r\nUsersCount=1\r\n", "Users", "UsersCount", "1"},
      {"UTF-8 after the mark", "\xEF\xBB\xBF[Users]\r\nUser0=Иванов_Иван_Ильич\r\n", "users",
       "user0", "Иванов_Иван_Ильич"},
      {"UTF-16 LE", Utf16(u"[Users]\r\nUser0=Иванов_Иван_Ильич\r\n", false), "Users", "User0",
       "Иванов_Иван_Ильич"},
      {"UTF-16 BE", Utf16(u"[Startpage]\r\nStartpage=3\r\n", true), "Startpage", "Startpage", "3"},
      {"Ctrl-Z a blank around a value", "[Startpage]\r\nStartpage=\x1A 2\x1A\r\n\x1A", "Startpage",
       "Startpage", "2"},
      {"Ctrl-Z a blank before a header", "\x1A[Users]\r\nUsersCount\x1A=1\r\n", "Users",
       "UsersCount", "1"},
      {"double quotes stripped", "[Users]\r\nUsersCount=\"1\"\r\n", "Users", "UsersCount", "1"},
      {"single quotes stripped, inner quote kept",
       Utf8ToCp1251("[Users]\r\nUser0='Д'Артаньян_Ш_Б'\r\n"), "Users", "User0", "Д'Артаньян_Ш_Б"},
      {"empty quotes are empty", "[Users]\r\nUser1=\"\"\r\n", "Users", "User1", nullptr},
      {"unbalanced quote kept", Utf8ToCp1251("[FolderName]\r\nNewFolderName=\"Моя\r\n"),
       "FolderName", "NewFolderName", "\"Моя"},
      {"blanks then quotes", "[Startpage]\r\nStartpage= \"2\" \r\n", "Startpage", "Startpage", "2"},
      {"mixed quotes kept", "[A]\r\nk=\"x'\r\n", "A", "k", "\"x'"},
      {"a lone quote kept", "[A]\r\nk=\"\r\n", "A", "k", "\""},
      {"CR line ends", "[Startpage]\rStartpage=3\rStartStyle=1\r[Users]\rUsersCount=2\r", "Users",
       "UsersCount", "2"},
      {"CR line ends, earlier key", "[Startpage]\rStartpage=3\rStartStyle=1\r", "Startpage",
       "StartStyle", "1"},
      {"CR CR LF", "[Startpage]\r\nStartpage=1\r\r\nStartStyle=1\r\r\n", "Startpage", "Startpage",
       "1"},
      {"LF only", "[Startpage]\nStartpage=1\n", "Startpage", "Startpage", "1"},
      {"header ends at the last bracket", "[Users]]\r\nUsersCount=1\r\n", "Users", "UsersCount",
       nullptr},
      {"the section with the bracket", "[Users]]\r\nUsersCount=1\r\n", "Users]", "UsersCount", "1"},
      {"no closing bracket, no header", "[Users\r\nUsersCount=1\r\n", "Users", "UsersCount",
       nullptr},
      {"a key without = decides", "[Startpage]\r\nStartpage\r\nStartpage=1\r\n", "Startpage",
       "Startpage", nullptr},
      {"value ends at NUL",
       Utf8ToCp1251("[FolderName]\r\nNewFolderName=Абв") + nul + Utf8ToCp1251("где\r\n"),
       "FolderName", "NewFolderName", "Абв"},
      {"quotes inside a value kept", "[A]\r\nk=a\"b\"c\r\n", "A", "k", "a\"b\"c"},
      {"first section of a name only", "[A]\r\nx=1\r\n[a]\r\nk=2\r\n", "A", "k", nullptr},
      {"first key of a name", "[A]\r\nK = 1 \r\nk=2\r\n", "a", "k", "1"},
  };
}

TEST(ProfileText, ReadsAsTheWindowsProfileFunctions) {
  for (const WindowsCase& c : WindowsCases()) {
    std::string value;
    const bool found = ProfileText(c.file).Read(c.section, c.key, value);
    if (c.value == nullptr) {
      EXPECT_FALSE(found) << c.name << ": " << value;
    } else {
      EXPECT_TRUE(found) << c.name;
      EXPECT_EQ(value, c.value) << c.name;
    }
  }
}

// Written as read: a UTF-8 file keeps its mark and its first section (no
// second [Users] that Windows programs would never read); a UTF-16 file is
// never written, so never gets cp1251 lines appended.
TEST(ProfileFile, ByteOrderMarksOnWrite) {
  TempDir dir;
  const std::string path = dir.File("orti415.ini");
  WriteBytes(path, "\xEF\xBB\xBF[Users]\r\nUsersCount=0\r\n");
  ASSERT_TRUE(WriteSetting(path, "Users", "User0", "Ёлкин_Иван_Ильич").ok);
  ASSERT_TRUE(WriteSetting(path, "Users", "UsersCount", "1").ok);
  EXPECT_EQ(ReadBytes(path), "\xEF\xBB\xBF[Users]\r\nUsersCount=1\r\nUser0=Ёлкин_Иван_Ильич\r\n");

  const std::string utf16 = Utf16(u"[Users]\r\nUsersCount=0\r\n", false);
  WriteBytes(path, utf16);
  const FileResult refused = WriteSetting(path, "Users", "UsersCount", "1");
  EXPECT_FALSE(refused.ok);
  EXPECT_NE(FileErrorText(refused).find("UTF-16"), std::string::npos);
  EXPECT_EQ(ReadBytes(path), utf16);
}

TEST(ProfileText, NoCarriageReturnEverStaysInAValue) {
  ProfileText text("[A]\r\r\nk=1\r\r\r\nm=2\r");
  std::string value;
  ASSERT_TRUE(text.Read("A", "k", value));
  EXPECT_EQ(value, "1");
  ASSERT_TRUE(text.Read("A", "m", value));
  EXPECT_EQ(value, "2");
}

TEST(ProfileText, WritingKeepsEveryOtherByteWhateverTheLineEnds) {
  const std::string before = "[A]\rk=1\r\r\nx\n[B]\r\n";
  ProfileText text(before);
  text.Write("A", "k", "2");
  EXPECT_EQ(text.Bytes(), "[A]\rk=2\r\r\nx\n[B]\r\n");
  // The key without "=" is the key's line: a write replaces it.
  ProfileText bare("[A]\r\nk\r\nk=1\r\n");
  bare.Write("A", "K", "5");
  EXPECT_EQ(bare.Bytes(), "[A]\r\nK=5\r\nk=1\r\n");
  // "[B" opens no section: B is added.
  ProfileText open("[B\r\n");
  open.Write("B", "k", "1");
  EXPECT_EQ(open.Bytes(), "[B\r\n[B]\r\nk=1\r\n");
}

TEST(ProfileText, ValuesThatWouldNotReadBackAreQuoted) {
  for (const char* value : {"\"Моя\"", "'a'", " lead", "trail ", "''", "plain", "a\"b", "\""}) {
    ProfileText text;
    text.Write("FolderName", "NewFolderName", value);
    std::string back;
    ASSERT_TRUE(ProfileText(text.Bytes()).Read("FolderName", "NewFolderName", back)) << value;
    EXPECT_EQ(back, value);
  }
  ProfileText plain;
  plain.Write("A", "k", "plain");
  EXPECT_EQ(plain.Bytes(), "[A]\r\nk=plain\r\n") << "an ordinary value is written as it is";
}

#if !defined(NDEBUG)
constexpr bool kSlowBuild = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSlowBuild = true;
#else
constexpr bool kSlowBuild = false;
#endif
#else
constexpr bool kSlowBuild = false;
#endif

TEST(ProfileText, ParsedOnceAFileOfFourThousandOperatorsReadsQuickly) {
  std::string file = "[Users]\r\nUsersCount=4000\r\n";
  for (int i = 0; i < 4000; ++i) {
    file += "User" + std::to_string(i) + "=Surname" + std::to_string(i) + "_Name_Patronymic\r\n";
  }
  const auto start = std::chrono::steady_clock::now();
  ProfileText text(file);
  std::string value;
  for (int i = 0; i < 4000; ++i) ASSERT_TRUE(text.Read("Users", "User" + std::to_string(i), value));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(value, "Surname3999_Name_Patronymic");
  // The file re-read for every key took 0.5 s here; parsed once it
  // takes a few milliseconds. Unoptimised and sanitized builds only must not hang.
  EXPECT_LT(took, kSlowBuild ? std::chrono::milliseconds(30000) : std::chrono::milliseconds(200));
}

}  // namespace
}  // namespace orti
