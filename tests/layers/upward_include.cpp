// Compiled against the include tree of the ptf layer: project/ lies above it and must not
// be found.
#include "project/context.h"
