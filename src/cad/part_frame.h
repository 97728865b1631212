// The part-frame drawing that the directional arrangement inserts once per frame.
#pragma once
#include <string>

#include "common/text.h"

// ProgramDirectory() + "\零件图框.dwg".
Text PartFramePath();
// The drawing's bytes as carried in the program's resources (empty when missing).
std::string PartFrameBytes();
// Writes the carried drawing when no file of that name exists; an existing file (a user's own
// frame) is never touched. A failed write is ignored.
void WritePartFrameIfMissing();
