#include "translate/display_win.h"

#include <optional>

#include "app/shell_state.h"
#include "common/wide_string.h"
#include "translate/display_plan.h"
#include "translate/translate_input.h"

namespace parlivo {

void SetBoxText(HWND box, const std::u16string& text) {
  SetWindowTextW(box, AsWide(text));
  InvalidateRect(box, nullptr, TRUE);
  UpdateWindow(box);
  SendMessageW(box, EM_SETSEL, 0, 0);
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
  SendMessageW(box, WM_SIZE, 0, 0);
}

void DisplayResults(const std::u16string& result) {
  const std::optional<BoxTexts> boxes = PlanDisplay(result);
  if (!boxes) {
    // No owner: the main window stays usable while the report is open.
    MessageBoxW(nullptr, AsWide(result), Wide(kTranslationErrorCaption).c_str(),
                MB_OK | MB_ICONERROR);
    return;
  }
  SetBoxText(g_shell.arabicBox, boxes->arabic);
  SetBoxText(g_shell.englishBox, boxes->english);
  SetBoxText(g_shell.germanBox, boxes->german);
}

}  // namespace parlivo
