#include "publish/poster_html.h"

#include "publish/poster_layout.h"

namespace trivo {

namespace {

constexpr std::string_view kStyle = R"(
@page { size: A4 portrait; margin: 14mm; }
body { font-family: "DejaVu Sans", Arial, Helvetica, sans-serif; font-size: 14px; color: #1d2733;
  background: #f5f7fa; margin: 0; padding: 0 16px 24px; }
.poster { background: #ffffff; border: 1px solid #c9d3dd; max-width: 180mm; margin: 16px auto;
  padding: 12px 18px; break-after: page; page-break-after: always; }
.poster:last-child { break-after: auto; page-break-after: auto; }
.poster header { border-bottom: 3px solid #0b5394; margin-bottom: 10px; }
.poster h1 { font-size: 24px; margin: 4px 0; color: #0b5394; }
.poster h2 { font-size: 16px; margin: 4px 0; }
.validity, .legend, footer { color: #5b6875; font-size: 12px; }
table.departures { border-collapse: collapse; width: 100%; }
table.departures thead { display: table-header-group; }
table.departures th, table.departures td { border-bottom: 1px solid #c9d3dd; padding: 3px 6px;
  text-align: left; vertical-align: top; }
table.departures thead th { background: #e8eef5; color: #1d2733; font-size: 12px; }
table.departures tbody th { width: 3em; font-weight: bold; border-right: 1px solid #c9d3dd; }
table.departures td { word-spacing: 0.35em; }
sup { font-size: 9px; color: #7f4f00; }
ol.following { columns: 3; list-style: none; padding: 0; margin: 4px 0; font-size: 12px; }
ol.following li { break-inside: avoid; }
.minutes { display: inline-block; min-width: 2.5em; color: #0b5394; }
ul.footnotes { list-style: none; padding: 0; margin: 4px 0; font-size: 12px; }
footer { margin-top: 10px; border-top: 1px solid #c9d3dd; padding-top: 4px; display: flex;
  justify-content: space-between; }
@media print { body { background: #ffffff; padding: 0; } .poster { border: none; margin: 0;
  padding: 0; max-width: none; } }
)";

void AppendEscaped(std::string& html, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      default:
        html += c;
    }
  }
}

void AppendPoster(std::string& html, const StopPoster& poster) {
  const PosterLayout layout = LayOutPoster(poster);
  html += "<section class=\"poster\">\n<header><h1>";
  AppendEscaped(html, poster.station);
  html += "</h1>\n<h2>Linie ";
  AppendEscaped(html, poster.line);
  html += " &ndash; Richtung ";
  AppendEscaped(html, poster.towards);
  html += "</h2>\n";
  if (!poster.validity.empty()) {
    html += "<p class=\"validity\">";
    AppendEscaped(html, poster.validity);
    html += "</p>\n";
  }
  html += "</header>\n<table class=\"departures\">\n<thead><tr><th>Uhr</th>";
  for (const PosterColumn& column : poster.columns) {
    html += "<th>";
    AppendEscaped(html, column.heading);
    html += "</th>";
  }
  html += "</tr></thead>\n<tbody>\n";
  for (const PosterRow& row : layout.rows) {
    html += "<tr><th>" + std::to_string(PrintedHour(row.hour)) + "</th>";
    for (const std::vector<PosterDeparture>& cell : row.cells) {
      html += "<td>";
      for (std::size_t i = 0; i < cell.size(); ++i) {
        if (i > 0) html += ' ';
        const std::string text = DepartureText(poster, cell[i]);
        html += text.substr(0, 2);
        if (text.size() > 2) {
          html += "<sup>";
          AppendEscaped(html, text.substr(2));
          html += "</sup>";
        }
      }
      html += "</td>";
    }
    html += "</tr>\n";
  }
  html += "</tbody>\n</table>\n";
  if (!poster.following.empty()) {
    html += "<h2>Folgende Haltestellen (Minuten ab hier)</h2>\n<ol class=\"following\">\n";
    for (const PosterNextStop& stop : poster.following) {
      html += "<li><span class=\"minutes\">" + std::to_string(stop.minutes) + "</span>";
      AppendEscaped(html, stop.station);
      html += "</li>\n";
    }
    html += "</ol>\n";
  }
  if (!poster.footnotes.empty()) {
    html += "<h2>Anmerkungen</h2>\n<ul class=\"footnotes\">\n";
    for (const PosterFootnote& footnote : poster.footnotes) {
      html += "<li>";
      AppendEscaped(html, footnote.letter + " = " + footnote.text);
      html += "</li>\n";
    }
    html += "</ul>\n";
  }
  html += "<footer><span>";
  AppendEscaped(html, poster.projectName);
  html += "</span><span>Stand: ";
  AppendEscaped(html, poster.madeOn);
  html += "</span></footer>\n</section>\n";
}

}  // namespace

std::string PosterPageFileName(std::int32_t stationId) {
  return "aushang_" + std::to_string(stationId) + ".html";
}

std::string PosterPageHtml(std::string_view station, const std::vector<StopPoster>& posters) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"windows-1252\">\n<title>";
  html += "Aushangfahrplan ";
  AppendEscaped(html, station);
  html += "</title>\n<style>";
  html += kStyle;
  html += "</style>\n</head>\n<body>\n";
  for (const StopPoster& poster : posters) AppendPoster(html, poster);
  html += "</body>\n</html>\n";
  return html;
}

}  // namespace trivo
