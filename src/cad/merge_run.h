// The merge run of the start button.
#pragma once
#include "cad/layout.h"
#include "common/text.h"

void RunMerge();
void InsertDrawingAt(int row, const InsertionPoint& point, const Text& path);
void InsertPartFrameAt(const InsertionPoint& point);
