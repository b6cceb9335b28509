#include "translate/translate_command_win.h"

#include <exception>
#include <string>

#include "app/shell_state.h"
#include "common/wide_string.h"
#include "config/config_win.h"
#include "gemini/translate_text.h"
#include "gemini/winhttp_transport.h"
#include "translate/display_win.h"
#include "translate/translate_input.h"

namespace parlivo {
namespace {

std::u16string ReadInputBox() {
  const int length = GetWindowTextLengthW(g_shell.inputBox);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(g_shell.inputBox, text.data(), length + 1);
  return FromWide(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void Warn(HWND owner, std::u16string_view text, std::u16string_view caption) {
  MessageBoxW(owner, Wide(text).c_str(), Wide(caption).c_str(), MB_OK | MB_ICONWARNING);
  SetFocus(g_shell.inputBox);
}

void SetTranslateButton(std::u16string_view text, BOOL enabled) {
  SetWindowTextW(g_shell.translateButton, Wide(text).c_str());
  EnableWindow(g_shell.translateButton, enabled);
}

void ReportFailure(HWND owner, std::u16string_view text) {
  MessageBoxW(owner, Wide(text).c_str(), Wide(kTranslationErrorCaption).c_str(),
              MB_OK | MB_ICONERROR);
  SetTranslateButton(kTranslateIdleText, TRUE);
  SetFocus(g_shell.inputBox);
}

}  // namespace

void OnTranslate(HWND owner) {
  try {
    const TranslateInput input = CheckTranslateInput(ReadInputBox());
    if (input.verdict == TranslateInput::Verdict::kEmpty) {
      Warn(owner, kEmptyInputText, kEmptyInputCaption);
      return;
    }
    if (input.verdict == TranslateInput::Verdict::kTooLong) {
      Warn(owner, kTooLongText, kTooLongCaption);
      return;
    }

    SetTranslateButton(kTranslateBusyText, FALSE);
    OutputDebugStringW(AsWide(DebugPreviewLine(input.trimmed)));

    WinHttpTransport transport;
    DisplayResults(TranslateText(input.trimmed, g_settings, transport));

    SetTranslateButton(kTranslateIdleText, TRUE);
    SetFocus(g_shell.inputBox);
    // Selected, so that the next typing replaces the text.
    SendMessageW(g_shell.inputBox, EM_SETSEL, 0, -1);
  } catch (const std::exception& e) {
    ReportFailure(owner, TranslationFailedText(e.what()));
  } catch (...) {
    ReportFailure(owner, kTranslationFailedUnexpected);
  }
}

}  // namespace parlivo
