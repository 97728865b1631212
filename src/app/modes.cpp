#include "app/modes.h"

#include "cad/part_frame.h"

// The mode procedures arrive with the arrangement-mode work; start-up already writes the frame.
void SelectHorizontalMode() {}
void SelectVerticalMode() {}
void SelectMixedMode() {}
void SelectDirectionalMode() {}
void SelectA0Preset() {}
void PrepareSizePresets() { WritePartFrameIfMissing(); }
void ApplySizePreset() {}
