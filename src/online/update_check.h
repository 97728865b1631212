// The update check at the end of start-up.
#pragma once
#include "common/text.h"

Text NoticeFileUrl();
void CheckForUpdate();
