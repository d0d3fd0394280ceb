// tinyobjloader's implementation, compiled once for the benchmark.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
