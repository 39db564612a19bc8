#include "common/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "common/messages.h"
#include "common/strings.h"
#include "common/text_file.h"
#include "test_support.h"

namespace trivo {
namespace {

using test::TempDir;
using namespace std::string_literals;

// --- Reading -----------------------------------------------------------------------------

TEST(IniFileRead, NamesIgnoreLetterCaseAndTheFirstMatchWins) {
  TempDir folder;
  const auto file = folder.Write("a.ini",
                                 "[General]\r\nLastSave=1\r\nlastsave=2\r\n"
                                 "[general]\r\nlastsave=3\r\nother=4\r\n"
                                 "[\xC4NDERUNG]\r\n\xDC"
                                 "ber=5\r\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.ReadString("general", "LASTSAVE", "d"), "1");
  // Only the first section of a name is read.
  EXPECT_EQ(ini.ReadString("GENERAL", "other", "d"), "d");
  // Letter case of Windows-1252 umlauts is ignored as well.
  EXPECT_EQ(ini.ReadString("\xE4nderung",
                           "\xFC"
                           "BER",
                           "d"),
            "5");
}

TEST(IniFileRead, ValuesLoseSurroundingBlanksAndOnePairOfEnclosingQuotes) {
  TempDir folder;
  const auto file = folder.Write("a.ini",
                                 "[s]\n"
                                 "  blanks  =   a b  \t\n"
                                 "double=\"  x  \"\n"
                                 "single='y'\n"
                                 "twice=\"\"z\"\"\n"
                                 "mixed=\"a'\n"
                                 "lone=\"\n"
                                 "inner=a\"b\"\n"
                                 "empty=\n"
                                 "bare\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.ReadString("s", "blanks", "d"), "a b");
  EXPECT_EQ(ini.ReadString("s", "double", "d"), "  x  ");
  EXPECT_EQ(ini.ReadString("s", "single", "d"), "y");
  EXPECT_EQ(ini.ReadString("s", "twice", "d"), "\"z\"");
  EXPECT_EQ(ini.ReadString("s", "mixed", "d"), "\"a'");
  EXPECT_EQ(ini.ReadString("s", "lone", "d"), "\"");
  EXPECT_EQ(ini.ReadString("s", "inner", "d"), "a\"b\"");
  EXPECT_EQ(ini.ReadString("s", "empty", "d"), "");
  // A line without "=" names a key without a value: the default is read.
  EXPECT_TRUE(ini.ValueExists("s", "bare"));
  EXPECT_EQ(ini.ReadString("s", "bare", "d"), "d");
  EXPECT_EQ(ini.ReadString("s", "missing", " 'kept as given' "), " 'kept as given' ");
}

TEST(IniFileRead, ValuesAreCutAtTheReadersLimit) {
  TempDir folder;
  const std::string longValue(5000, 'v');
  const auto file =
      folder.Write("a.ini", "[s]\r\nk=" + longValue + "\r\nq=\"" + longValue + "\"\r\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.ReadString("s", "k", ""), std::string(2047, 'v'));
  EXPECT_EQ(ini.ReadString("s", "k", "", IniFile::kTimetableRowLimit), std::string(4095, 'v'));
  // The quotes go before the value is cut.
  EXPECT_EQ(ini.ReadString("s", "q", ""), std::string(2047, 'v'));
}

TEST(IniFileRead, SectionsWithoutKeysCountAsAbsent) {
  TempDir folder;
  const auto file = folder.Write("a.ini",
                                 "key=before any section\r\n"
                                 "[empty]\r\n; only a comment\r\n\r\n"
                                 "[full]\r\nk=v\r\n"
                                 "  [ Padded ]  \r\nk=v\r\n"
                                 "[last]");
  const IniFile ini(file);
  EXPECT_FALSE(ini.SectionExists("empty"));
  EXPECT_TRUE(ini.SectionExists("FULL"));
  EXPECT_TRUE(ini.SectionExists("padded"));
  EXPECT_FALSE(ini.SectionExists("last"));
  EXPECT_FALSE(ini.SectionExists("nowhere"));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"empty", "full", "Padded", "last"}));
  EXPECT_TRUE(ini.ReadSection("empty").empty());
}

TEST(IniFileRead, CommentsAndKeyOrder) {
  TempDir folder;
  const auto file = folder.Write("a.ini", "[s]\r\n;a=1\r\n  ;b=2\r\nc=3\r\nB=4\r\nc=5\r\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.ReadSection("s"), (std::vector<std::string>{"c", "B", "c"}));
  EXPECT_EQ(ini.ReadString("s", ";a", "d"), "d");
  EXPECT_EQ(ini.ReadString("s", "b", "d"), "4");
}

TEST(IniFileRead, LineBreaksOfEveryKindAndNuls) {
  TempDir folder;
  const auto file = folder.Write("a.ini", "[s]\rcr=1\nlf=2\r\ncrlf=3\r\nnul=a\0b\r\nafter=4"s);
  const IniFile ini(file);
  EXPECT_EQ(ini.ReadString("s", "cr", ""), "1");
  EXPECT_EQ(ini.ReadString("s", "lf", ""), "2");
  EXPECT_EQ(ini.ReadString("s", "crlf", ""), "3");
  EXPECT_EQ(ini.ReadString("s", "nul", ""), "a");
  EXPECT_EQ(ini.ReadString("s", "after", ""), "4");
}

TEST(IniFileRead, MissingFoldersAndUnreadableFilesReadAsEmpty) {
  TempDir folder;
  EXPECT_TRUE(IniFile(folder / "missing.ini").ReadSections().empty());
  EXPECT_TRUE(IniFile(folder.path()).ReadSections().empty());
  const auto pipe = folder / "pipe.ini";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  EXPECT_TRUE(IniFile(pipe).ReadSections().empty());  // no writer, and yet no hang
  const auto file = folder.Write("locked.ini", "[s]\r\nk=v\r\n");
  ::chmod(file.c_str(), 0);
  if (::access(file.c_str(), R_OK) != 0) {  // not when the tests run with full rights
    EXPECT_FALSE(IniFile(file).SectionExists("s"));
  }
  ::chmod(file.c_str(), 0644);
}

TEST(IniFileRead, IntegersFollowTheIntegerTextRules) {
  TempDir folder;
  const auto file =
      folder.Write("a.ini", "[s]\nhex=0x1E\ndollar=$ff\nneg= -12 \nbad=abc\nbig=2147483648\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.ReadInteger("s", "hex", 0), 30);
  EXPECT_EQ(ini.ReadInteger("s", "dollar", 0), 255);
  EXPECT_EQ(ini.ReadInteger("s", "neg", 0), -12);
  EXPECT_EQ(ini.ReadInteger("s", "bad", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "big", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "missing", 7), 7);
}

TEST(IniFileRead, HostileBytesNeverCrash) {
  TempDir folder;
  // An unclosed section name and a value far longer than the readers' limits.
  std::string bytes =
      "[" + std::string(100'000, 'x') + "\r\n[s]\r\nk=\"" + std::string(1'000'000, '\'') + "\r\n";
  for (int c = 0; c < 256; ++c) bytes += static_cast<char>(c);
  bytes += "\r\n[\0]\r\n=\r\n[]\r\n\"=\"\r\n]\r\n["s;
  const auto file = folder.Write("a.ini", bytes);
  IniFile ini(file);
  EXPECT_EQ(ini.ReadString("s", "k", "").size(), 2047u);
  ini.ReadSections();
  ini.WriteString("s", "k", "v");
  EXPECT_EQ(IniFile(file).ReadString("s", "k", ""), "v");
}

TEST(IniFileRead, ManyRowsAreReadInLinearTime) {
  TempDir folder;
  std::string bytes;
  for (int section = 0; section < 40; ++section) {
    bytes += "[" + std::to_string(section) + "_Mo-Fr]\r\n";
    for (int row = 1; row <= 1000; ++row) bytes += std::to_string(row) + "=a,b,c,d\r\n";
  }
  const auto file = folder.Write("line.ttd", bytes);
  const auto start = std::chrono::steady_clock::now();
  const IniFile ini(file);
  int found = 0;
  for (int section = 0; section < 40; ++section) {
    for (int row = 1; row <= 1000; ++row) {
      found += !ini.ReadString(std::to_string(section) + "_mo-fr", std::to_string(row), "").empty();
    }
  }
  EXPECT_EQ(found, 40'000);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// The keys of section s by a plain reading of the lines: split as every text file is,
// trimmed, comments and other sections left out.
std::vector<std::string> ReferenceKeys(std::string_view text) {
  std::vector<std::string> keys;
  int sectionsNamedS = 0;
  bool inS = false;
  for (const std::string& raw : SplitTextLines(text)) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.rfind(']') != std::string::npos && line.rfind(']') > 0) {
      inS = Trim(line.substr(1, line.rfind(']') - 1)) == "s" && ++sectionsNamedS == 1;
      continue;
    }
    if (inS) keys.push_back(Trim(line.substr(0, line.find('='))));
  }
  return keys;
}

TEST(IniFileRead, LinesAreSplitAsEveryTextFileIsWhateverTheirBreaks) {
  TempDir folder;
  std::mt19937 random(24);
  constexpr std::string_view kAlphabet = "ab=;[s] \r\n\r\n";
  for (int round = 0; round < 2000; ++round) {
    std::string text = round % 2 == 0 ? "[s]" : "";
    const std::size_t length = random() % 40;
    for (std::size_t i = 0; i < length; ++i) text += kAlphabet[random() % kAlphabet.size()];
    const IniFile ini(folder.Write("a.ini", text));
    ASSERT_EQ(ini.ReadSection("s"), ReferenceKeys(text)) << testing::PrintToString(text);
  }
}

// --- Writing -----------------------------------------------------------------------------

TEST(IniFileWrite, ReplacesAValueInPlaceKeepingEverythingElse) {
  TempDir folder;
  const auto file = folder.Write("p.tvp", "; head\n[A]\r\n  Key = old \r\nz=1\n\n[b]\rk=2");
  IniFile ini(file);
  ini.WriteString("a", "KEY", "new");
  EXPECT_EQ(TempDir::Read(file), "; head\n[A]\r\nKey=new\r\nz=1\n\n[b]\rk=2");
  EXPECT_EQ(ini.ReadString("a", "key", ""), "new");
}

TEST(IniFileWrite, AppendsAKeyAfterTheLastKeyOfItsSection) {
  TempDir folder;
  const auto file = folder.Write("p.tvp", "[a]\nx=1\n; note\n\n[b]\nk=2\n[a]\n");
  IniFile ini(file);
  ini.WriteString("A", "y", "2");
  EXPECT_EQ(TempDir::Read(file), "[a]\nx=1\ny=2\r\n; note\n\n[b]\nk=2\n[a]\n");
  // A section with no key gets it right after its header.
  const auto empty = folder.Write("e.tvp", "[a]\n; nothing\n[b]\nk=2\n");
  IniFile(empty).WriteString("a", "y", "2");
  EXPECT_EQ(TempDir::Read(empty), "[a]\ny=2\r\n; nothing\n[b]\nk=2\n");
  // The last line of a file without a final line break is ended first.
  const auto open = folder.Write("o.tvp", "[a]\nx=1");
  IniFile(open).WriteString("a", "y", "2");
  EXPECT_EQ(TempDir::Read(open), "[a]\nx=1\r\ny=2\r\n");
}

TEST(IniFileWrite, CreatesTheSectionAndTheFile) {
  TempDir folder;
  const auto file = folder / "new.tvp";
  IniFile ini(file);
  ini.WriteString("general", "lastsave", "05.03.2008 14:07:09");
  ini.WriteString("daygroups", "daygroupnames", "Mo-Fr,Sa");
  ini.WriteString("general", "x", "");
  EXPECT_EQ(TempDir::Read(file),
            "[general]\r\nlastsave=05.03.2008 14:07:09\r\nx=\r\n"
            "[daygroups]\r\ndaygroupnames=Mo-Fr,Sa\r\n");
  const auto open = folder.Write("o.tvp", "[a]\nx=1");
  IniFile(open).WriteString("b", "y", "2");
  EXPECT_EQ(TempDir::Read(open), "[a]\nx=1\r\n[b]\r\ny=2\r\n");
}

TEST(IniFileWrite, RawBytesAfterANulSurviveAWrite) {
  TempDir folder;
  const std::string bytes = "[a]\r\nk=1\0tail\r\nn=\0\r\n"s;
  const auto file = folder.Write("p.tvp", bytes);
  IniFile(file).WriteString("a", "k", "2");
  EXPECT_EQ(TempDir::Read(file), "[a]\r\nk=2\r\nn=\0\r\n"s);
}

TEST(IniFileWrite, EraseSectionRemovesEveryOccurrenceWithItsLines) {
  TempDir folder;
  const auto file = folder.Write(
      "l.ttd", "[1_Sa]\r\n1=a\r\n[1_Mo-Fr]\r\n1=b\r\n; c\r\n[2_Sa]\r\n1=d\r\n[1_MO-FR]\r\n2=e");
  IniFile ini(file);
  ini.EraseSection("1_mo-fr");
  EXPECT_EQ(TempDir::Read(file), "[1_Sa]\r\n1=a\r\n[2_Sa]\r\n1=d\r\n");
  EXPECT_FALSE(ini.SectionExists("1_Mo-Fr"));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"1_Sa", "2_Sa"}));
  ini.EraseSection("nowhere");
  EXPECT_EQ(TempDir::Read(file), "[1_Sa]\r\n1=a\r\n[2_Sa]\r\n1=d\r\n");
  // Erasing in a missing file creates nothing.
  IniFile(folder / "missing.ttd").EraseSection("1_Sa");
  EXPECT_FALSE(std::filesystem::exists(folder / "missing.ttd"));
}

TEST(IniFileWrite, AnUnwritableTargetFailsAndChangesNothing) {
  TempDir folder;
  const auto plain = folder.Write("plain", "not a folder");
  const auto target = plain / "p.tvp";
  IniFile ini(target);
  try {
    ini.WriteString("a", "k", "v");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), msg::CannotWrite(target.string()));
  }
  EXPECT_EQ(ini.ReadString("a", "k", "d"), "d");
  EXPECT_EQ(TempDir::Read(plain), "not a folder");
  EXPECT_THROW(IniFile(folder.path()).WriteString("a", "k", "v"), Error);
}

TEST(IniFileWrite, AFileThatCannotBeReadIsNotOverwritten) {
  TempDir folder;
  const auto file = folder.Write("locked.tvp", "[s]\r\nk=v\r\n");
  ::chmod(file.c_str(), 0200);
  if (::access(file.c_str(), R_OK) == 0) GTEST_SKIP() << "running with full rights";
  EXPECT_THROW(IniFile(file).WriteString("s", "x", "y"), Error);
  ::chmod(file.c_str(), 0644);
  EXPECT_EQ(TempDir::Read(file), "[s]\r\nk=v\r\n");
}

TEST(IniFileWrite, LeavesNoTemporaryFileBehind) {
  TempDir folder;
  IniFile ini(folder / "p.tvp");
  for (int i = 0; i < 5; ++i) ini.WriteString("s", std::to_string(i), "v");
  EXPECT_EQ(folder.Count(), 1u);
}

}  // namespace
}  // namespace trivo
