// Arrangement modes (the four radio buttons) and the sheet-size presets of the main window.
#pragma once

void SelectHorizontalMode();
void SelectVerticalMode();
void SelectMixedMode();
void SelectDirectionalMode();
void SelectA0Preset();
void PrepareSizePresets();
void ApplySizePreset();
