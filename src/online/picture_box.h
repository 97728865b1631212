// The picture box: a control of window class "TessaroPicture" (ui::Kind::Picture) showing a
// picture given as file bytes, fitted into the box with its proportions kept. A left-button press
// is reported to the parent as STN_CLICKED, as a label reports a click; the pointer over it is
// the hand.
#pragma once
#include <windows.h>

#include <string>

#include "online/picture_decode.h"

// Registers the window class; call before creating a picture box.
void RegisterPictureBoxClass();

// PNG, JPEG, BMP, GIF, ICO or CUR bytes to pixels: PNG and JPEG by libpng and libjpeg, the others
// by Windows Imaging Component. False, with out empty, for anything else or anything damaged.
bool DecodePicture(const std::string& bytes, Picture& out);

// Replaces the box's picture; empty or undecodable bytes leave the box without one.
void SetPictureBytes(HWND box, const std::string& bytes);
// The picture shown, or nullptr when there is none.
const Picture* PictureOf(HWND box);
// Where a picture of w x h is drawn inside a client area of cw x ch: as large as fits, centred.
RECT FitPicture(int w, int h, int cw, int ch);
