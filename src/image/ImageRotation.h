#pragma once
// Quarter turns of a picture. The pixels are really rearranged; palettised
// pictures keep their colour table and depth, true-colour pictures their
// alpha. Progress runs from 0 over the source rows and ends at 0.
// If the turned picture cannot be allocated, the picture stays as it was and
// the result is false (callers then leave the object's turn count alone);
// an empty record gives false too.

#include "image/DibHandle.h"
#include "base/Progress.h"

#include <QtGlobal>

bool RotLeft(DibHandle& dib, const ProgressCallback& progress = {});    // counter-clockwise
bool RotRight(DibHandle& dib, const ProgressCallback& progress = {});   // clockwise
bool Rot180(DibHandle& dib, const ProgressCallback& progress = {});

// Tests only: pretend that pictures above this many bytes cannot be
// allocated (0 = no pretence).
void SetRotationAllocationLimitForTests(qint64 bytes);
