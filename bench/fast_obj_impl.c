/* fast_obj compiled from its header with the benchmark's flags; its own
   warnings are not ours to fix. */
#define FAST_OBJ_IMPLEMENTATION
#include "peers/fast_obj.h"
