#pragma once

// Where a backend's input becomes window messages. Both backends call these, so double clicks, capture,
// mouse tracking, disabled windows and key state behave the same with and without an X server.
// Positions are in the target window's client coordinates unless named screen.

#include "ui/framework/WinTypes.h"

namespace vellum {

// Button numbers: 1 left, 2 middle, 3 right.
void DeliverPointerMove(HWND hwnd, CPoint client);
void DeliverButton(HWND hwnd, int button, bool down, CPoint client);
void DeliverWheel(HWND hwnd, int delta, CPoint client);
// `ch` is the typed character (0 for none); WM_CHAR follows a key-down that types one.
void DeliverKey(HWND hwnd, UINT vk, bool down, wchar_t ch = 0);
void DeliverLeave(HWND hwnd);
void DeliverActivation(HWND hwnd, bool active);
void DeliverExpose(HWND hwnd, const CRect& client);
// The host moved or resized the window (screen rectangle).
void DeliverConfigure(HWND hwnd, const CRect& screen);
void DeliverCloseRequest(HWND hwnd);
// A message from another process (`_VELLUM_MESSAGE`).
void DeliverForeignMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Held keys and buttons as the window layer last saw them.
bool IsKeyDown(UINT vk);
WPARAM CurrentMouseKeys();
// The modifier value of key routing: 18 with Alt, else 16 with Shift, else 0; then OR 17 with Ctrl.
unsigned CurrentModifierValue();
// Forgets every held key (tests start from a clean state).
void ResetKeyState();

// Double clicks: a second press of the same button within this time and distance.
constexpr unsigned kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;

} // namespace vellum
