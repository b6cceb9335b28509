#pragma once

namespace parlivo {

// Makes every DLL that the program loads after start-up come from the system
// folder only, and lets a delay-loaded DLL or function that cannot be had
// fail its calls instead of ending the process. Call it first in the entry,
// before anything can load a DLL.
void SecureDllLoading();

}  // namespace parlivo
