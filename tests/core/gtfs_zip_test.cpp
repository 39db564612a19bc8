#include "gtfs/zip_archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "common/error.h"
#include "common/job_files.h"
#include "test_support.h"

namespace trivo::gtfs {
namespace {

using test::RecordingUserInterface;
using test::TempDir;

std::string Archive(const std::vector<std::pair<std::string, std::string>>& entries) {
  ZipWriter writer;
  for (const auto& [name, bytes] : entries) writer.Add(name, bytes);
  return writer.Bytes();
}

std::string OpenError(const std::filesystem::path& path) {
  try {
    ZipReader reader(path, "feed.zip");
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

std::string ReadError(const std::filesystem::path& path, const std::string& entry) {
  try {
    ZipReader reader(path, "feed.zip");
    reader.ReadAll(entry);
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

// Sets the unpacked size of the first entry in the central directory.
void PatchUnpackedSize(std::string& bytes, std::uint32_t size) {
  const std::size_t header = bytes.find("PK\x01\x02");
  ASSERT_NE(header, std::string::npos);
  std::memcpy(&bytes[header + 24], &size, 4);  // little-endian, as on this machine
}

TEST(Zip, WritesAndReadsEntriesByTheirExactName) {
  TempDir dir;
  const std::string stops = "stop_id,stop_name\r\n1,M\xC3\xBCnster\r\n";
  const auto path = dir.Write("feed.zip", Archive({{"stops.txt", stops}, {"gtfs/trips.txt", "x"}}));
  ZipReader reader(path, "feed.zip");
  EXPECT_TRUE(reader.Has("stops.txt"));
  EXPECT_FALSE(reader.Has("Stops.txt"));
  EXPECT_FALSE(reader.Has("trips.txt"));
  EXPECT_EQ(reader.Size("stops.txt"), stops.size());
  EXPECT_EQ(reader.ReadAll("stops.txt"), stops);
  EXPECT_EQ(ReadError(path, "trips.txt"), "ZIP-Archiv feed.zip: Eintrag trips.txt fehlt");
}

TEST(Zip, AnArchiveWithoutEntriesIsWrittenAndRead) {
  TempDir dir;
  const auto path = dir.Write("empty.zip", ZipWriter().Bytes());
  ZipReader reader(path, "empty.zip");
  EXPECT_FALSE(reader.Has("stops.txt"));
}

TEST(Zip, AnEntryNamingAPathOutsideIsNeverFollowed) {
  TempDir dir;
  const auto path =
      dir.Write("feed.zip", Archive({{"../stops.txt", "evil"}, {"/tmp/stops.txt", "evil"}}));
  ZipReader reader(path, "feed.zip");
  EXPECT_FALSE(reader.Has("stops.txt"));
  EXPECT_EQ(dir.Count(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "stops.txt"));
}

TEST(Zip, RefusesWhatIsNoArchiveOrIsCutShortInGerman) {
  TempDir dir;
  EXPECT_EQ(OpenError(dir.Write("a.zip", "stop_id\n1\n")), "ZIP-Archiv feed.zip: keine ZIP-Datei");
  EXPECT_EQ(OpenError(dir.Write("b.zip", "")), "ZIP-Archiv feed.zip: keine ZIP-Datei");
  const std::string whole = Archive({{"stops.txt", std::string(5000, 's')}});
  for (const std::size_t cut : {whole.size() / 2, whole.size() - 10, std::size_t{30}}) {
    EXPECT_EQ(OpenError(dir.Write("c.zip", whole.substr(0, cut))),
              "ZIP-Archiv feed.zip: unvollständig oder beschädigt")
        << "cut at " << cut;
  }
  EXPECT_NE(OpenError(dir / "missing.zip").find("kann nicht geöffnet werden"), std::string::npos);
  EXPECT_NE(OpenError(dir.path()).find("kann nicht geöffnet werden"), std::string::npos);
}

TEST(Zip, OpeningAFifoDoesNotWaitForAWriter) {
  TempDir dir;
  const auto fifo = dir / "feed.zip";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_NE(OpenError(fifo).find("kann nicht geöffnet werden"), std::string::npos);
}

TEST(Zip, RefusesABombBeforeUnpackingIt) {
  TempDir dir;
  const auto path = dir.Write("feed.zip", Archive({{"stop_times.txt", std::string(3 << 20, '0')},
                                                   {"agency.txt", std::string(1000, '0')}}));
  EXPECT_NE(ReadError(path, "stop_times.txt").find("mehr als das 100-fache; nicht entpackt"),
            std::string::npos);
  EXPECT_EQ(ReadError(path, "agency.txt"), "no error") << "small entries cannot do harm";
}

TEST(Zip, RefusesAnEntryLargerThanTwoGibibytesBeforeUnpackingIt) {
  TempDir dir;
  std::string bytes = Archive({{"stop_times.txt", "x"}});
  PatchUnpackedSize(bytes, 0xA0000000u);
  const auto path = dir.Write("feed.zip", bytes);
  EXPECT_NE(ReadError(path, "stop_times.txt").find("mehr als die erlaubten 2147483648"),
            std::string::npos);
}

TEST(Zip, AnEntryHoldingMoreThanItsHeaderSaysIsRefused) {
  TempDir dir;
  std::string bytes = Archive({{"stops.txt", std::string(200, 'x') + "yz"}});
  PatchUnpackedSize(bytes, 100);
  const auto path = dir.Write("feed.zip", bytes);
  EXPECT_NE(ReadError(path, "stops.txt").find("ZIP-Archiv feed.zip, Eintrag stops.txt:"),
            std::string::npos);
}

TEST(Zip, TheWriterNeverReplacesAnInputAndLeavesNoTemporary) {
  TempDir dir;
  RecordingUserInterface ui;
  JobFiles job(ui);
  const auto input = dir.Write("feed.zip", Archive({{"stops.txt", "a"}}));
  { ZipReader reader(input, "feed.zip", &job); }
  ZipWriter writer;
  writer.Add("stops.txt", "b");
  const WriteResult refused = writer.Write(input, job.Output());
  EXPECT_FALSE(refused.written);
  EXPECT_TRUE(refused.isInput);
  EXPECT_EQ(ZipReader(input, "feed.zip").ReadAll("stops.txt"), "a");
  EXPECT_TRUE(writer.Write(dir / "out.zip", job.Output()).written);
  EXPECT_EQ(ZipReader(dir / "out.zip", "out.zip").ReadAll("stops.txt"), "b");
  EXPECT_EQ(dir.Count(), 2u);
}

}  // namespace
}  // namespace trivo::gtfs
