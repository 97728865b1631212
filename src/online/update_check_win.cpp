#include "online/update_check.h"

Text NoticeFileUrl() { return Text("https://") + TESSARO_WEB_HOST + "/cad.txt"; }

// The check arrives with the online work.
void CheckForUpdate() {}
