#pragma once

#include <string_view>

#include "project/context.h"

namespace trivo {

// Whether a file name is one a conversion writes: daygroups.ptf, stations.ptf, lines.ptf,
// line_stations.ptf, line_connections.ptf, tt_connections.ptf, intervals.ptf,
// tt_<n>_<n>_<n>.ptf or ttc_<n>.ptf.
bool IsConversionOutput(std::string_view name);

// Marks a conversion under way in ctx for as long as it lives. The outermost scope takes
// the advisory lock on the working folder, so that two programs never convert into the
// same folder at once: when another one holds it, the constructor fails with
// "Im Ordner %s läuft bereits eine Konvertierung. ...". Holding the lock, it removes the
// temporary files of conversion outputs that a killed conversion left behind. Inner scopes
// (a button pressed within a command line run of several steps) share the outer one's
// lock.
class ConversionScope {
 public:
  explicit ConversionScope(Context& ctx);
  ~ConversionScope();
  ConversionScope(const ConversionScope&) = delete;
  ConversionScope& operator=(const ConversionScope&) = delete;

 private:
  Context& ctx_;
};

}  // namespace trivo
