#pragma once

#include "tables/table.h"

namespace trivo {

// The data module dm1: the nine working tables of the program, all absent at start.
class Tdm1 {
 public:
  Tdm1();

  Table cdsStations;
  Table cdsLines;
  Table cdsLineStations;
  Table cdsDayGroups;
  Table cdsDayGroupConnections;
  Table cdsTimeTableConnections;
  Table cdsInterval;
  Table cdsTimeTable;
  Table cdsNewStations;
};

}  // namespace trivo
