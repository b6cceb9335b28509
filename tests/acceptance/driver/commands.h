#pragma once

#include <string>

#include "protocol.h"

namespace driver {

// Carries out one request and returns its JSON answer line (without the
// line end). Sets `quit` when the request ends the session.
std::string RunCommand(const Request& request, bool& quit);

}  // namespace driver
