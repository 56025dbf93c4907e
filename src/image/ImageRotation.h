#pragma once
// Quarter turns of a picture. The pixels are really rearranged; palettised
// pictures keep their colour table and depth, true-colour pictures their
// alpha. Progress runs from 0 over the source rows and ends at 0.
// If the turned picture cannot be allocated the record becomes empty.

#include "image/DibHandle.h"
#include "image/Progress.h"

void RotLeft(DibHandle& dib, const ProgressCallback& progress = {});    // counter-clockwise
void RotRight(DibHandle& dib, const ProgressCallback& progress = {});   // clockwise
void Rot180(DibHandle& dib, const ProgressCallback& progress = {});
