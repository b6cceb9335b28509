#include "app/about_dialog.h"

#include "app/resource_ids.h"
#include "app/shell_state.h"
#include "app/window_placement.h"
#include "product_info.h"

namespace parlivo {
namespace {

constexpr wchar_t kAboutText[] =
    L"Parlivo, Version " PARLIVO_VERSION "\r\n"
    L"Arabic, English and German at a keystroke, translated by Google Gemini.\r\n"
    L"\r\n"
    PARLIVO_COPYRIGHT L"\r\n"
    L"Questions and ideas: the project's issue tracker\r\n"
    L"Settings: config.ini beside Parlivo.exe";

// Shown in place of the picture when it cannot be loaded.
constexpr wchar_t kPictureFallback[] = L"\u064B\u06BA\u00A4\u2013 PAR\nLIVO";

Rect ScreenRect(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void SetUpPicture(HWND dialog) {
  const HANDLE picture = LoadImageW(g_shell.instance, MAKEINTRESOURCEW(IDB_ABOUT_PICTURE),
                                    IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
  if (picture != nullptr) {
    SendDlgItemMessageW(dialog, IDC_ABOUT_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(picture));
  } else {
    SetDlgItemTextW(dialog, IDC_ABOUT_PICTURE, kPictureFallback);
  }
}

// The picture control does not own the bitmap it was given.
void ReleasePicture(HWND dialog) {
  const auto picture = reinterpret_cast<HGDIOBJ>(
      SendDlgItemMessageW(dialog, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
  if (picture != nullptr) DeleteObject(picture);
}

void CenterOverOwner(HWND dialog) {
  HWND owner = GetParent(dialog);
  if (owner == nullptr) owner = GetDesktopWindow();
  const Point corner = CenterOver(ScreenRect(owner), ScreenRect(dialog));
  SetWindowPos(dialog, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetDlgItemTextW(dialog, IDC_ABOUT_TEXT, kAboutText);
      SetUpPicture(dialog);
      CenterOverOwner(dialog);
      return TRUE;
    case WM_COMMAND: {
      const int command = LOWORD(wParam);
      if (command == IDOK || command == IDCANCEL) {
        EndDialog(dialog, command);
        return TRUE;
      }
      return FALSE;
    }
    case WM_DESTROY:
      ReleasePicture(dialog);
      return FALSE;
  }
  return FALSE;
}

}  // namespace parlivo
