// A plain OBJ reader for the tests: one input$ line at a time, every word
// taken with the kit's word functions and converted with val and fval, just
// as the reading rules are worded. Slow and obviously right; the fast
// reader must fill the record exactly as this one does.
#ifndef TESTS_KESTRIN_REFERENCE_READER_H
#define TESTS_KESTRIN_REFERENCE_READER_H

#include "objtype.h"

int refloadobj(obj_type* obj, char* filename);

#endif
