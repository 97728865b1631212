#include "cad/automation.h"

AutomationRef cadApplication;
AutomationRef activeDocument;
AutomationRef modelSpace;
AutomationRef cadUtility;
AutomationRef lastBlockReference;
