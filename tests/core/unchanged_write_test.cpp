// The atomic write leaves a file alone that already holds the bytes to be written, and
// replaces every other one through a temporary file as before.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/job_files.h"
#include "common/text_file.h"
#include "test_support.h"

namespace trivo {
namespace {

using test::RecordingUserInterface;
using test::TempDir;

// What identifies a file on the disk and tells whether it was written.
struct Identity {
  ino_t inode = 0;
  timespec modified{};
  mode_t mode = 0;
};

Identity IdentityOf(const std::filesystem::path& file) {
  struct stat info {};
  EXPECT_EQ(::stat(file.c_str(), &info), 0) << file;
  return {info.st_ino, info.st_mtim, info.st_mode & 07777};
}

bool SameIdentity(const Identity& a, const Identity& b) {
  return a.inode == b.inode && a.modified.tv_sec == b.modified.tv_sec &&
         a.modified.tv_nsec == b.modified.tv_nsec;
}

// A text of the given size whose bytes follow a pattern, so that one changed byte at any
// place makes it differ.
std::string Pattern(std::size_t size) {
  std::string text(size, ' ');
  for (std::size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i * 7 % 26);
  return text;
}

std::string WithByteChanged(std::string text, std::size_t at) {
  text[at] = text[at] == 'z' ? 'y' : 'z';
  return text;
}

TEST(UnchangedWrite, AFileHoldingTheBytesAlreadyIsLeftAloneAnythingElseIsReplacedAtomically) {
  // Sizes below, at and above one piece of the streamed comparison (64 KiB).
  const std::string small = Pattern(100);
  const std::string piece = Pattern(65536);
  const std::string large = Pattern(3 * 65536 + 17);
  struct Case {
    const char* what;
    std::string old;
    std::string wanted;
    bool unchanged;
  };
  const Case cases[] = {
      {"the same bytes", small, small, true},
      {"an empty file and no bytes", "", "", true},
      {"the same bytes, exactly one piece", piece, piece, true},
      {"the same bytes over several pieces", large, large, true},
      {"one cell changed, same size", small, WithByteChanged(small, 40), false},
      {"only the last byte differs", small, WithByteChanged(small, small.size() - 1), false},
      {"only the first byte differs", small, WithByteChanged(small, 0), false},
      {"the last byte of one piece differs", piece, WithByteChanged(piece, piece.size() - 1),
       false},
      {"the first byte of the last piece differs", large, WithByteChanged(large, 3 * 65536), false},
      {"only the last byte differs, several pieces", large,
       WithByteChanged(large, large.size() - 1), false},
      {"the bytes followed by more", small + "x", small, false},
      {"the bytes cut short", small.substr(0, 99), small, false},
      {"an empty file and some bytes", "", small, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir folder;
    const auto file = folder.Write("tt_1_1_1.ptf", c.old);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const Identity before = IdentityOf(file);
    const WriteResult result = TryWriteFileAtomically(file, c.wanted);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.unchanged, c.unchanged);
    EXPECT_EQ(TempDir::Read(file), c.wanted);
    const Identity after = IdentityOf(file);
    // A replaced file is a new one renamed over the old: never written in place.
    EXPECT_EQ(SameIdentity(before, after), c.unchanged);
    EXPECT_EQ(after.mode, 0640u);
    EXPECT_EQ(folder.Count(), 1u) << "a temporary file was left behind";
  }
}

TEST(UnchangedWrite, AMissingFileIsCreated) {
  TempDir folder;
  const WriteResult result = TryWriteFileAtomically(folder / "lines.ptf", "x\r\n");
  EXPECT_TRUE(result.written);
  EXPECT_FALSE(result.unchanged);
  EXPECT_EQ(TempDir::Read(folder / "lines.ptf"), "x\r\n");
  EXPECT_EQ(IdentityOf(folder / "lines.ptf").mode, 0644u);
  EXPECT_EQ(folder.Count(), 1u);
}

TEST(UnchangedWrite, TheRulesThatRefuseATargetHoldWhenItsBytesWouldNotChange) {
  TempDir folder;
  RecordingUserInterface ui;
  JobFiles job(ui);
  // A folder in the output's place, whatever its size, is reported as before.
  std::filesystem::create_directory(folder / "lines.ptf");
  EXPECT_FALSE(TryWriteFileAtomically(folder / "lines.ptf", "", job.Output()));
  // An input of the job is never replaced by an output, not even by its own bytes.
  const auto input = folder.Write("stations.ptf", "A");
  ReadFileBytes(input, {}, &job);
  const WriteResult refused = TryWriteFileAtomically(input, "A", job.Output());
  EXPECT_TRUE(refused.isInput);
  EXPECT_FALSE(refused.written);
  EXPECT_EQ(job.FailedWrites(), 2);
  EXPECT_EQ(folder.Count(), 2u);
}

TEST(UnchangedWrite, ADocumentWithUnchangedBytesIsLeftAloneAndStaysAnInput) {
  TempDir folder;
  RecordingUserInterface ui;
  JobFiles job(ui);
  const auto document = folder.Write("line_T1.ttd", "[1_Sa]\r\n1=A,06:05\r\n");
  ReadFileBytes(document, {}, &job);
  const Identity before = IdentityOf(document);
  const WriteResult result =
      TryWriteFileAtomically(document, "[1_Sa]\r\n1=A,06:05\r\n", job.Document());
  EXPECT_TRUE(result.unchanged);
  EXPECT_TRUE(SameIdentity(before, IdentityOf(document)));
  EXPECT_TRUE(job.IsInput(document));
  EXPECT_EQ(job.FailedWrites(), 0);
}

// Runs the check in a child process under another user than root, for whom permissions
// hold; returns its exit status (0 when every check passed).
template <typename Check>
int RunAsUnprivilegedUser(Check&& check) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
    ::_exit(check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 101;
}

TEST(UnchangedWrite, AnUnreadableFileIsReplacedAsBeforeAndOneWithoutWritePermissionIsRefused) {
  TempDir folder;
  ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0);
  const auto unreadable = folder.Write("tt_1_1_1.ptf", "same");
  const auto locked = folder.Write("tt_1_2_1.ptf", "same");
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(unreadable.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chown(locked.c_str(), 65534, 65534), 0);
  }
  ASSERT_EQ(::chmod(unreadable.c_str(), 0200), 0);
  ASSERT_EQ(::chmod(locked.c_str(), 0400), 0);
  const Identity before = IdentityOf(unreadable);
  const int status = RunAsUnprivilegedUser([&] {
    // The comparison cannot read it: it is written as it would be without one.
    const WriteResult replaced = TryWriteFileAtomically(unreadable, "same");
    const WriteResult refused = TryWriteFileAtomically(locked, "same");
    return replaced.written && !replaced.unchanged && !refused.written && refused.error != 0;
  });
  ASSERT_NE(status, 100) << "cannot switch to another user";
  EXPECT_EQ(status, 0);
  const Identity after = IdentityOf(unreadable);
  EXPECT_FALSE(SameIdentity(before, after));
  EXPECT_EQ(after.mode, 0200u);
  EXPECT_EQ(TempDir::Read(locked), "same");
  EXPECT_EQ(folder.Count(), 2u);
}

}  // namespace
}  // namespace trivo
