#include "cad/presets.h"

TextArray SizeEntries(const Text& sizeList) { return split(sizeList, "/"); }

Text EmptySizeItemText() { return "(空)"; }

Text SizeItemText(const Text& entry) {
  const TextArray pieces = split(entry, "-");
  Text item;
  for (std::size_t i = 0; i < pieces.size() && i < 3; ++i) item += pieces[i];
  if (item.find_first_not_of(" \t") == Text::npos) return EmptySizeItemText();
  return item + "mm";
}

bool SizeFromEntry(const Text& entry, Text& length, Text& width) {
  const TextArray pieces = split(entry, "-");
  if (pieces.size() < 3) return false;
  const TextArray size = split(pieces[2], "*");
  if (size.size() < 2 || size[0].empty() || size[1].empty()) return false;
  length = size[0];
  width = size[1];
  return true;
}

int ClampSelection(int wanted, int itemCount) {
  if (itemCount <= 0) return -1;
  if (wanted < 0) return 0;
  if (wanted >= itemCount) return itemCount - 1;
  return wanted;
}
