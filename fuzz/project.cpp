// A whole project. Input: seven parts laid out as a project folder: the project file,
// stations.csv, lines.csv, line_stations.csv, station_lines.csv, and the .ttd files of
// the first two lines of lines.csv. The project is loaded, the five conversion buttons
// are pressed and the parallel runs are searched, as the command line does.
//
// Properties: only German errors (trivo::Error) end a step; no input file changes; every
// PTF file in the folder is complete and no temporary file is left; every parallel run
// listed is one by the test the search uses.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/make_model.h"
#include "common/error.h"
#include "common/text_file.h"
#include "convert/conversion_buttons.h"
#include "fuzz_support.h"
#include "project/context.h"
#include "project/project_commands.h"
#include "ptf/ptf_writer.h"
#include "test_support.h"

namespace trivo {
namespace {

namespace fs = std::filesystem;

void RunReportingErrors(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error&) {
    // Shown to the user; the next step runs.
  }
}

// Whether the name is one of a temporary file that a write renames over its target:
// ".<name>.XXXXXX".
bool IsTemporary(std::string_view name) {
  return name.size() > 8 && name.front() == '.' && name[name.size() - 7] == '.';
}

void CheckFolder(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    FUZZ_CHECK(!IsTemporary(name));
    if (!name.ends_with(".ptf")) continue;
    const std::string text = test::TempDir::Read(entry.path());
    FUZZ_CHECK(text.starts_with(kPtfFirstLine));
    FUZZ_CHECK(text.ends_with(");\r\n"));
  }
}

}  // namespace
}  // namespace trivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trivo;
  const auto parts = fuzz::SplitParts(fuzz::AsText(data, size), 7);
  test::TempDir dir;
  std::vector<std::pair<fs::path, std::string>> inputs;
  const auto write = [&](const std::string& name, std::string_view bytes) {
    inputs.emplace_back(dir.Write(name, bytes), std::string(bytes));
  };
  write("project.tvp", parts[0]);
  write("stations.csv", parts[1]);
  write("lines.csv", parts[2]);
  write("line_stations.csv", parts[3]);
  write("station_lines.csv", parts[4]);
  fuzz::WriteLineTimetables(parts, write);

  test::RecordingUserInterface ui;
  Context ctx(ui);
  ctx.WorkingDir = dir.path().string();
  LoadProject(ctx, (dir / "project.tvp").string());
  for (int button = 1; button <= 5; ++button) {
    RunReportingErrors([&] { PressConversionButton(ctx, button); });
  }
  MakeModel make;
  RunReportingErrors([&] { make.btStartClick(ctx); });
  for (std::size_t i = 0; i < make.ParallelCount(); ++i) {
    const TParalell run = make.Parallel(i);
    FUZZ_CHECK(make.RunsParallel(run.Line, run.OtherLine, run.FirstStation, run.LastStation));
  }

  for (const auto& [path, bytes] : inputs) FUZZ_CHECK(test::TempDir::Read(path) == bytes);
  CheckFolder(dir.path());
  return 0;
}
