#pragma once
// The OBJECTS section of the cut file's DXF, written through dxflib's
// writer by us rather than by dxflib: its own section leaves out every
// object's owner, which readers then mend (or refuse). Here each object
// names its owner, and the handles are the ones the tables dxflib writes
// already point to (the block records' layouts).

#include <QSizeF>

class DL_WriterA;

// Writes "0 SECTION 2 OBJECTS" through "0 ENDSEC": the root dictionary and
// the dictionaries, layouts, multiline style and variables a drawing of
// AutoCAD 2000 carries. paperMm: the paper layout's limits.
void writeDxfObjects(DL_WriterA& dw, QSizeF paperMm);
