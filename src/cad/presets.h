// The sheet-size presets: the size list text "A0-横向-1189*841/A0-竖向-841*1189/..." gives one
// combo item per entry, and choosing an item fills the length and width boxes.
// Portable: no windows.h.
#pragma once
#include "common/text.h"

// The entries of the size list, split at "/", in order (one combo item each; an empty entry
// from "//" is kept so items and entries stay paired).
TextArray SizeEntries(const Text& sizeList);

// "A0-横向-1189*841" -> "A0横向1189*841mm": the first three "-" pieces joined, plus "mm";
// further pieces are ignored. An entry with fewer pieces shows the pieces it has plus "mm";
// an entry whose first three pieces hold nothing but blanks shows EmptySizeItemText(), so the
// item is still visible in the list.
Text SizeItemText(const Text& entry);
Text EmptySizeItemText();

// Length and width from the third "-" piece split at "*", as written (no conversion); pieces
// after the second are ignored. False (outputs untouched) when the entry has no third piece,
// the third piece does not give two pieces, or either of them is empty ("*841", "1189**841").
bool SizeFromEntry(const Text& entry, Text& length, Text& width);

// The item to select for a wanted index: past the last -> the last, below 0 -> the first,
// no items -> -1 (no selection).
int ClampSelection(int wanted, int itemCount);
