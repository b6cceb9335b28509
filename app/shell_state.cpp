#include "app/shell_state.h"

namespace parlivo {

ShellState g_shell;

}  // namespace parlivo
