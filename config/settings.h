#pragma once

#include <string>

namespace parlivo {

// The two values read from config.ini. LoadConfig is their only writer.
struct Settings {
  std::u16string geminiKey;
  std::u16string geminiModel;
};

}  // namespace parlivo
