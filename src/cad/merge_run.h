// The merge run of the start button.
#pragma once
#include "cad/layout.h"
#include "common/text.h"

void RunMerge();
// One drawing's insertion (row from 0) at point; true when the CAD application inserted it.
bool InsertDrawingAt(int row, const InsertionPoint& point, const Text& path);
// One part frame's insertion at point; true when inserted.
bool InsertPartFrameAt(const InsertionPoint& point);
