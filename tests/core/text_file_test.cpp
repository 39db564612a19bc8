#include "common/text_file.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "common/error.h"
#include "common/ini_file.h"
#include "common/job_files.h"
#include "common/messages.h"
#include "test_support.h"

namespace trivo {
namespace {

using test::RecordingUserInterface;
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

// The German reason ReadFileBytes gives for the file, or "read" when it reads it.
std::string ReadReason(const std::filesystem::path& file) {
  try {
    ReadFileBytes(file, "f");
    return "read";
  } catch (const Error& error) {
    const std::string prefix = msg::CannotOpenFile("f", "");
    const std::string text = error.what();
    return text.rfind(prefix, 0) == 0 ? text.substr(prefix.size()) : text;
  }
}

TEST(TextFiles, OnlyRegularFilesAreReadAndNothingBlocks) {
  TempDir folder;
  const auto fifo = folder / "stations.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);  // no writer: opening it plainly would block
  std::filesystem::create_symlink("/dev/zero", folder / "zero.csv");  // would never end
  std::filesystem::create_symlink("loop.csv", folder / "loop.csv");
  const auto socketPath = folder / "socket.csv";
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  EXPECT_EQ(ReadReason(fifo), "Keine normale Datei, sondern eine benannte Pipe (FIFO)");
  EXPECT_EQ(ReadReason(folder / "zero.csv"), "Keine normale Datei, sondern ein Gerät");
  EXPECT_EQ(ReadReason(folder / "loop.csv"), "Zu viele Ebenen symbolischer Verknüpfungen");
  EXPECT_EQ(ReadReason(socketPath), "Das Gerät oder die Adresse ist nicht vorhanden");
  EXPECT_EQ(ReadReason(folder.path()), "Zugriff verweigert");
  EXPECT_EQ(ReadReason(folder / "missing.csv"),
            "Das System kann die angegebene Datei nicht finden");
  ::close(sock);
}

TEST(TextFiles, AFileBeyondTheSizeLimitIsRefusedUnread) {
  TempDir folder;
  const auto file = folder.Write("huge.csv", "");
  std::filesystem::resize_file(file, kInputSizeLimit + 1);  // sparse: costs no disk
  try {
    ReadFileBytes(file, "huge.csv");
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.what(), msg::FileTooLarge("huge.csv", kInputSizeLimit + 1, kInputSizeLimit));
  }
  EXPECT_TRUE(TryReadFileBytes(file).TooLarge());
  // An INI file that large is refused as well instead of reading as empty.
  EXPECT_THROW(IniFile{file}, Error);
}

TEST(TextFiles, ReadInputsAreRecordedForTheJob) {
  TempDir folder;
  RecordingUserInterface ui;
  JobFiles job(ui);
  const auto input = folder.Write("stations.csv", "A");
  const auto other = folder.Write("lines.csv", "L");
  ReadFileBytes(input, {}, &job);
  EXPECT_TRUE(job.IsInput(input));
  EXPECT_FALSE(job.IsInput(other));
  EXPECT_FALSE(TryWriteFileAtomically(input, "x", job.Output()));
  EXPECT_EQ(TempDir::Read(input), "A");
  EXPECT_TRUE(TryWriteFileAtomically(other, "x", job.Output()));
  // A document of the job may replace itself and stays an input afterwards.
  EXPECT_TRUE(TryWriteFileAtomically(input, "B", job.Document()));
  EXPECT_TRUE(job.IsInput(input));
  EXPECT_EQ(job.FailedWrites(), 1);
  EXPECT_EQ(ui.events, Lines{"[Meldung] " + msg::WouldReplaceInput("stations.csv")});
}

TEST(TextFiles, TemporaryNamesOfTheAtomicWrite) {
  EXPECT_EQ(TemporaryTarget(".lines.ptf.a1B2c3"), "lines.ptf");
  EXPECT_EQ(TemporaryTarget("..x.Zz9900"), ".x");
  for (const char* name : {"lines.ptf.a1B2c3", ".lines.ptf.a1B2c", ".lines.ptf-a1B2c3",
                           ".lines.ptf.a1B-c3", "..a1B2c3", ".a1B2c3"}) {
    EXPECT_EQ(TemporaryTarget(name), std::nullopt) << name;
  }
  TempDir folder;
  WriteFileAtomically(folder / "out.ptf", "x");
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    EXPECT_EQ(TemporaryTarget(entry.path().filename().string()), std::nullopt);
  }
}

}  // namespace
}  // namespace trivo
