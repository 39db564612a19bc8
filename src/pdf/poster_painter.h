#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>

#include <QString>

#include "page_text.h"
#include "publish/poster_layout.h"
#include "publish/stop_timetable.h"
#include "qt_text.h"

class QPainter;
class QPagedPaintDevice;

namespace trivo::pdf {

// Paints posters, keeping the laid-out texts for all the pages it paints: use one for
// all the pages of a book.
class PosterPainter {
 public:
  PosterPainter();

  // Paints one page of a poster. The painter's coordinates are points of the A4 page
  // (595 x 842, origin top left); callers on other devices scale the painter first.
  void PaintPage(QPainter& painter, const StopPoster& poster, const PosterLayout& layout,
                 std::size_t pageIndex);

  // Paints all pages of a poster onto a paged device (a PDF writer, a printer) whose
  // painter is already active; newPage() comes before every page but the device's first.
  // Returns the number of pages.
  std::size_t PaintPoster(QPainter& painter, QPagedPaintDevice& device, const StopPoster& poster,
                          bool& firstPageOfDevice);

 private:
  PageText text_;
};

// A PDF book of posters, written page by page into a temporary file beside the target
// and renamed over it by Commit(): a failed or abandoned book leaves no partial PDF and
// the target as it was. Fails with "In %s kann nicht geschrieben werden".
class PosterPdf {
 public:
  explicit PosterPdf(const std::filesystem::path& target);
  ~PosterPdf();
  PosterPdf(const PosterPdf&) = delete;
  PosterPdf& operator=(const PosterPdf&) = delete;

  // Adds the poster's pages; returns how many.
  std::size_t Add(const StopPoster& poster);
  std::size_t Pages() const;
  void Commit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace trivo::pdf
