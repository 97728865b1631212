// Finding the running CAD application and naming it in the main window's caption.
#pragma once

// Probes every listed AutoCAD release, then ZWCAD, then GstarCAD; the last success wins and is
// kept in cadApplication. True when some application was found by this call.
bool ConnectToCad();
