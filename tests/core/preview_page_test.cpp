#include "preview/preview_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/error.h"
#include "common/text_file.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;
using test::RecordingUserInterface;
using test::TempDir;

// A viewer folder holding the page's files, each with the marker in its first line.
struct ViewerFolder {
  explicit ViewerFolder(const std::string& version) {
    for (const std::string_view name : kPreviewPageFiles) {
      folder.Write(name, Content(name, version));
    }
  }
  static std::string Content(std::string_view name, const std::string& version) {
    return "/* " + std::string(kPreviewPageMarker) + " */\n" + std::string(name) + " " + version;
  }
  TempDir folder;
};

// A folder with the master PTF files a conversion leaves.
struct PtfFolder {
  PtfFolder() {
    for (const std::string_view name : kPreviewMasterFiles) folder.Write(name, "ptf");
  }
  TempDir folder;
};

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.what();
  }
  return {};
}

TEST(PreviewPage, CopiesThePageBesideThePtfFiles) {
  const ViewerFolder viewer("v1");
  const PtfFolder target;
  EXPECT_EQ(WritePreviewPage(viewer.folder.path(), target.folder.path()),
            target.folder / "index.html");
  for (const std::string_view name : kPreviewPageFiles) {
    EXPECT_EQ(TempDir::Read(target.folder / name), ViewerFolder::Content(name, "v1")) << name;
  }
  EXPECT_EQ(target.folder.Count(), kPreviewMasterFiles.size() + kPreviewPageFiles.size());
}

TEST(PreviewPage, ReplacesItsOwnFilesOnTheNextRun) {
  const PtfFolder target;
  WritePreviewPage(ViewerFolder("v1").folder.path(), target.folder.path());
  WritePreviewPage(ViewerFolder("v2").folder.path(), target.folder.path());
  for (const std::string_view name : kPreviewPageFiles) {
    EXPECT_EQ(TempDir::Read(target.folder / name), ViewerFolder::Content(name, "v2")) << name;
  }
}

TEST(PreviewPage, NeverReplacesAFileItDidNotWrite) {
  const std::string marked = "/* " + std::string(kPreviewPageMarker) + " */";
  const struct {
    const char* name;
    std::string content;
  } foreign[] = {
      {"index.html", "<html>the operator's own site</html>"},
      {"viewer.js", "// the operator's script\n" + marked},  // marker not in the first line
      {"viewer.css", ""},
  };
  const ViewerFolder viewer("v1");
  for (const auto& file : foreign) {
    const PtfFolder target;
    target.folder.Write(file.name, file.content);
    const std::string text =
        ErrorText([&] { WritePreviewPage(viewer.folder.path(), target.folder.path()); });
    EXPECT_NE(text.find(std::string("Die Datei ") + file.name), std::string::npos) << text;
    EXPECT_NE(text.find("stammt nicht von der Vorschau"), std::string::npos) << text;
    EXPECT_EQ(TempDir::Read(target.folder / file.name), file.content);
    EXPECT_EQ(target.folder.Count(), kPreviewMasterFiles.size() + 1) << "nothing else written";
  }

  const PtfFolder target;
  fs::create_directory(target.folder / "viewer.css");
  EXPECT_THROW(WritePreviewPage(viewer.folder.path(), target.folder.path()), Error);
  EXPECT_FALSE(FileExists(target.folder / "index.html"));
}

TEST(PreviewPage, NamesTheMissingPtfFilesAndWritesNothing) {
  const ViewerFolder viewer("v1");
  TempDir target;
  target.Write("daygroups.ptf", "ptf");
  target.Write("stations.ptf", "ptf");
  target.Write("lines.ptf", "ptf");
  target.Write("line_stations.ptf", "ptf");
  const std::string text =
      ErrorText([&] { WritePreviewPage(viewer.folder.path(), target.path()); });
  EXPECT_EQ(text,
            "Die PTF-Dateien sind noch nicht erstellt (es fehlen: line_connections.ptf, "
            "intervals.ptf). Bitte zuerst die Schritte 1 bis 5 ausführen.");
  EXPECT_EQ(target.Count(), 4u);
}

TEST(PreviewPage, FindsTheInstalledPageBeforeTheSourceFolder) {
  TempDir prefix;
  fs::create_directories(prefix / "bin");
  fs::create_directories(prefix / "share/trivo/viewer");
  EXPECT_NE(FindViewerFolder(prefix / "bin/trivo"), prefix / "share/trivo/viewer")
      << "a folder without the page does not count";
  prefix.Write("share/trivo/viewer/index.html", "page");
  EXPECT_EQ(FindViewerFolder(prefix / "bin/trivo"), prefix / "share/trivo/viewer");
}

// The shipped page: every file marks itself, so that the next run may replace it.
TEST(PreviewPage, ShippedFilesCarryTheMarkerInTheirFirstLine) {
  const fs::path shipped = FindViewerFolder("/nonexistent/bin/trivo");
  for (const std::string_view name : kPreviewPageFiles) {
    const std::vector<std::string> lines = ReadTextLines(shipped / name);
    ASSERT_FALSE(lines.empty()) << name;
    EXPECT_NE(lines.front().find(kPreviewPageMarker), std::string::npos) << name;
  }
}

TEST(PreviewPage, WithoutProjectSaysSo) {
  RecordingUserInterface ui;
  Context ctx(ui);
  EXPECT_EQ(WriteProjectPreview(ctx), std::nullopt);
  EXPECT_EQ(ui.events, std::vector<std::string>{"[Meldung] Kein Projekt geladen!"});
}

}  // namespace
}  // namespace trivo
