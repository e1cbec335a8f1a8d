// The row conversion where no faster one is written: the plain loop.
#include "formats/bmp_rows.h"

QuadRow FastestQuadRow() { return QuadRowPlain; }
