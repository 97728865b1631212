#pragma once
// The part-frame drawing, written beside the program as 零件图框.dwg when missing.
#define IDR_PART_FRAME 100
