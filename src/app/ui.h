// Control tables: each window's controls are one table of rows (name, kind, parent, position,
// size, text, event procedure); one loop creates them and one route delivers their events.
#pragma once
#include <windows.h>

#include <cstddef>

#include "common/text.h"

namespace ui {

enum class Kind { Button, Label, CheckBox, Radio, Edit, Combo, Group, ListView, Tab, Page, Picture, Grid };

struct ControlDef {
  HWND* handle;       // where the created control's handle is kept
  const char* name;   // the control's name, as the code names it
  Kind kind;
  HWND* parent;       // nullptr: the window itself; a group box: placed relative to it; a page: child of it
  int x, y, w, h;
  const char* text;   // GBK
  void (*onEvent)();  // click / pick / left-button press; nullptr for none
  DWORD style = 0;    // extra window styles
};

// Creates every control of the table in order, as children of window; control i gets id base+i.
void CreateControls(HWND window, ControlDef* defs, std::size_t count, int base, HFONT defaultFont);
// Routes WM_COMMAND / WM_NOTIFY of a table's controls to their procedures; true when handled.
bool RouteCommand(const ControlDef* defs, std::size_t count, int base, WPARAM wParam, LPARAM lParam);
bool RouteNotify(const ControlDef* defs, std::size_t count, int base, LPARAM lParam);

const ControlDef* FindByName(const ControlDef* defs, std::size_t count, const char* name);

// Texts cross into W APIs here, converted from GBK with code page 936.
void SetText(HWND control, const Text& text);
Text GetText(HWND control);

// Registers a window class of this module once; later calls for the same name do nothing.
void RegisterClassOnce(const wchar_t* name, WNDPROC proc, LPCWSTR cursor = IDC_ARROW,
                       HBRUSH background = nullptr, UINT style = 0, HICON icon = nullptr);

HFONT MakeFont(const Text& face, int pixelHeight, bool bold);

// Background colours of edit boxes (WM_CTLCOLOREDIT / WM_CTLCOLORSTATIC answer with them).
void SetEditBackground(HWND edit, COLORREF colour);
COLORREF EditBackground(HWND edit);
// Answers a WM_CTLCOLOR* message for controls on a white window; nullptr when not ours.
HBRUSH ControlColour(UINT msg, HDC dc, HWND control);

}  // namespace ui
