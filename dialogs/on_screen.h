#pragma once
// Getting a picture on the screen before the window's thread goes on: a
// window manager maps a new window only some milliseconds after it is shown,
// and what is painted before that never reaches the screen. Used before a
// blocking or long step (the loading window, the wait panel, each step of
// the splash fade).

class QWidget;

// How long the window system gets to expose a window: a fraction of a
// second, so that a window that is never exposed (minimised, no display)
// costs little.
inline constexpr int kExposeWaitMs = 300;

// Waits until the window of `widget` is exposed (at most `timeoutMs`), then
// paints `widget` at once and hands the picture to the window system,
// waiting for it to take it. User input that arrives meanwhile stays queued.
// True when the window was exposed in time.
bool PaintOnScreen(QWidget& widget, int timeoutMs = kExposeWaitMs);

// Hands everything painted or changed so far (a window's opacity among
// them) to the window system and waits until it has taken it.
void SyncWithWindowSystem();
