#pragma once

#include <string>

namespace parlivo {

// The full path of the running executable, however long it is.
std::u16string ModuleFilePath();

}  // namespace parlivo
