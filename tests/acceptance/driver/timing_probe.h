#pragma once

// Timings for the program benchmarks, taken beside the program under Wine so
// that no round trip to the test runner falls inside a measured span. Every
// time is in microseconds of the performance counter, which Wine reads from
// the host's monotonic clock.

#include <windows.h>

#include <string>

#include "protocol.h"

namespace driver {

// clock: the performance counter now, to line it up with the runner's clock.
std::string ClockNow(const Request& request);

// start_timed EXE CLASS TIMEOUT_MS: starts EXE in its own folder and times
// it until its thread is idle (WaitForInputIdle), a visible top-level window
// of CLASS belongs to it, and that window has answered a message.
std::string StartTimed(const Request& request);

// click_timed BUTTON BOX TIMEOUT_MS: clicks BUTTON (BM_CLICK) and times it
// until BOX holds text and BUTTON is enabled again.
std::string ClickTimed(const Request& request);

// text_length HWND: the length the window reports (WM_GETTEXTLENGTH),
// without copying a long text across.
std::string TextLength(const Request& request);

// fresh_ticks 1|0: starts or stops a thread that keeps the tick count fresh.
// Wine's trace stamps its lines with the tick count, and the wineserver
// moves that count on only when it wakes: while a traced program computes
// without asking the server, its stamps stand still for up to 16 ms. The
// thread waits on the server with a 1 ms time limit over and over, so that
// the server wakes, and the stamps move, every millisecond.
std::string FreshTicks(const Request& request);

}  // namespace driver
