// Compiled against the include tree of the ptf layer: tables/ lies below it.
#include "tables/table.h"
