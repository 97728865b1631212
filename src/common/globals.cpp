#include "common/globals.h"

std::int32_t ArrangementMode = 0;
TextArray sizeEntries;
Text sizeListText;
Text helpFlagText;
std::int32_t runCount = 0;
Text lastFolder;
Text versionListText;
std::int32_t selectedTable = 0;
TextArray toolLinks;
TextArray toolPictureUrls;

void ResetPortableGlobals() {
  ArrangementMode = 0;
  sizeEntries.clear();
  sizeListText.clear();
  helpFlagText.clear();
  runCount = 0;
  lastFolder.clear();
  versionListText.clear();
  selectedTable = 0;
  toolLinks.clear();
  toolPictureUrls.clear();
}
