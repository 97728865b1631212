#include "cad/merge_run.h"

// The run arrives with the merge work.
void RunMerge() {}
void InsertDrawingAt(int, const InsertionPoint&, const Text&) {}
void InsertPartFrameAt(const InsertionPoint&) {}
