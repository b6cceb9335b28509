// The acceptance driver: a console program that runs beside Parlivo under the
// same Wine prefix and desktop, reads one command per line on stdin and
// answers each with one JSON line on stdout, so one process serves a whole
// scenario. Commands look at windows, type and click like a person, answer
// message boxes and watch processes; see commands.cpp for the list.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "commands.h"

int wmain() {
  // Answers end in a bare line feed, whatever the C runtime's text mode does.
  _setmode(_fileno(stdout), _O_BINARY);
  std::string line;
  bool quit = false;
  while (!quit && std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::string answer = driver::RunCommand(driver::Request::Parse(line), quit);
    std::fwrite(answer.data(), 1, answer.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
  }
  return 0;
}
