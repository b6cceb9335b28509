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

}  // namespace driver
