#include "vudadive2r.h"

extern "C" {

// Compiled into the library, so a client can tell it from the headers it was
// built with.
int orv_version_get(void) { return VUDADIVE2R_VERSION; }
}
