#include "common/text_file.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "common/messages.h"
#include "test_support.h"

namespace trivo {
namespace {

using test::TempDir;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(TextLines, SplitAtCrLfLfAndCr) {
  EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitTextLines("a\r\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitTextLines("a\n\rb"), (Lines{"a", "", "b"}));
}

TEST(TextLines, AFinalBreakStartsNoFurtherLine) {
  EXPECT_EQ(SplitTextLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitTextLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitTextLines("\n"), (Lines{""}));
  EXPECT_EQ(SplitTextLines(""), Lines{});
}

TEST(TextLines, ANulEndsTheText) {
  EXPECT_EQ(SplitTextLines("a\r\nb\0c\r\nd"s), (Lines{"a", "b"}));
  EXPECT_EQ(SplitTextLines("\0a"s), Lines{});
}

TEST(TextFiles, ReadingAMissingFileFailsWithTheRuntimeText) {
  TempDir folder;
  const auto file = folder / "missing.csv";
  try {
    ReadTextLines(file, "missing.csv");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(std::string(error.what()).rfind(msg::CannotOpenFile("missing.csv", ""), 0), 0u);
  }
  EXPECT_THROW(ReadFileBytes(folder.path()), Error);
}

TEST(TextFiles, AtomicWriteReplacesTheFileAndLeavesNoTemporaryFile) {
  TempDir folder;
  const auto file = folder.Write("out.ptf", "old contents that are longer");
  WriteFileAtomically(file, JoinLinesCrLf({"a", "", "\xFC"}));
  EXPECT_EQ(TempDir::Read(file), "a\r\n\r\n\xFC\r\n");
  EXPECT_EQ(folder.Count(), 1u);
  EXPECT_EQ(ReadTextLines(file), (Lines{"a", "", "\xFC"}));
}

TEST(TextFiles, AnUnwritableTargetFailsAndLeavesNothing) {
  TempDir folder;
  const auto plain = folder.Write("plain", "x");
  EXPECT_FALSE(TryWriteFileAtomically(plain / "out.ptf", "y"));
  EXPECT_FALSE(TryWriteFileAtomically(folder.path(), "y"));
  try {
    WriteFileAtomically(plain / "out.ptf", "y", "out.ptf");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), msg::CannotWrite("out.ptf"));
  }
  EXPECT_EQ(folder.Count(), 1u);
  EXPECT_EQ(TempDir::Read(plain), "x");
}

}  // namespace
}  // namespace trivo
