// The floor for Parlivo's start and for one translation: the least a Win32
// program does to read Parlivo's settings file, show Parlivo's main window,
// send Parlivo's request and show the three sections of the answer. Its start
// reads the bytes of config.ini beside it with the same file calls and takes
// the model line for the label, then builds the same window, eight controls,
// font, menu and accelerators. A translation makes the same WinHTTP calls with
// the same options, headers and body, and fills the boxes with the same calls
// in the same order. Nothing else: no key check, no subclassing, no icon, no
// busy state, and only the decoding and cutting that the benchmark's answers
// need (they hold "\n" as their only escape, and their sections one after the
// other, each label after a line feed). Built the same way as Parlivo.exe, so
// the difference between the two is Parlivo's own work.
//
//   bare_translator.exe [X Y URL]
//
// places the window's top-left corner at (X, Y) and posts every translation
// to URL; without them it only starts, centred on the screen as Parlivo is
// without --pos. Translate sends the input box's text as it stands; Clear
// empties the four boxes.

#include <windows.h>
#include <winhttp.h>

#include <array>
#include <cwchar>
#include <string>
#include <string_view>

#include "app/control_layout.h"
#include "app/shell_texts.h"
#include "app/window_placement.h"
#include "config/config_format.h"
#include "gemini/http_post.h"
#include "gemini/request.h"
#include "gemini/winhttp_transport.h"

namespace {

using namespace parlivo;

constexpr wchar_t kClassName[] = L"BARE_TRANSLATOR";
constexpr wchar_t kTitle[] = L"Bare translator";
constexpr std::string_view kAnswerMarker = "\"text\": \"";
constexpr std::wstring_view kLabels[] = {L"Arabic: ", L"\nEnglish: ", L"\nGerman: "};
constexpr int kUrlCapacity = 1024;
constexpr int kPlacementArguments = 3;  // X Y URL
// Parlivo's read size and file sharing, so that the file calls are the same.
constexpr DWORD kReadChunkBytes = 4096;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Alt+? and Alt+/ as character codes, as in Parlivo's accelerator table.
constexpr ACCEL kAccelerators[] = {{FALT, '?', IDM_ABOUT}, {FALT, '/', IDM_ABOUT}};

ShellState g_controls;
wchar_t g_url[kUrlCapacity] = {};

std::wstring_view W(std::u16string_view text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

// The bytes of config.ini beside the program, read as Parlivo reads them;
// empty when there is no such file.
std::string ReadConfigBytes() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
  path.replace(path.find_last_of(L'\\') + 1, std::wstring::npos, W(kConfigFileName));
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string bytes;
  if (file == INVALID_HANDLE_VALUE) return bytes;
  std::array<char, kReadChunkBytes> buffer;
  DWORD read = 0;
  while (ReadFile(file, buffer.data(), kReadChunkBytes, &read, nullptr) && read > 0) {
    bytes.append(buffer.data(), read);
  }
  CloseHandle(file);
  return bytes;
}

// "Model: " and the rest of the first line that begins with gemini_model=:
// the label Parlivo shows for the benchmark's file, which has one such line.
std::wstring ModelLabel(const std::string& config) {
  const std::string key(kModelPrefix.begin(), kModelPrefix.end());  // ASCII
  std::wstring label(W(kModelLabelPrefix));
  std::size_t line = 0;
  while (line < config.size() && config.compare(line, key.size(), key) != 0) {
    line = config.find('\n', line);
    line = line == std::string::npos ? config.size() : line + 1;
  }
  for (std::size_t i = line + key.size(); i < config.size(); ++i) {
    if (config[i] == '\r' || config[i] == '\n') break;
    label += static_cast<wchar_t>(static_cast<unsigned char>(config[i]));
  }
  return label;
}

void AppendMenus(HWND window) {
  const HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, IDM_NEW, L"&New");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, IDM_EDIT_CONFIG, L"&Edit Config");
  AppendMenuW(file, MF_STRING, IDM_LOAD_CONFIG, L"&Load Config");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, IDM_EXIT, L"E&xit");
  const HMENU help = CreatePopupMenu();
  AppendMenuW(help, MF_STRING, IDM_ABOUT, L"&About ...");
  const HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
  SetMenu(window, bar);
}

void CreateControls(HWND window, HINSTANCE instance, const std::wstring& modelLabel) {
  for (const ControlLayout& c : kControls) {
    g_controls.*c.handle = CreateWindowExW(
        0, c.className, c.text, c.style, c.x, c.y, c.width, c.height, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
  }
  g_controls.font = CreateSharedFont();
  const auto font = reinterpret_cast<WPARAM>(g_controls.font);
  for (HWND control : {g_controls.inputBox, g_controls.arabicBox, g_controls.englishBox,
                       g_controls.germanBox, g_controls.translateButton, g_controls.clearButton,
                       g_controls.exitButton, g_controls.modelLabel}) {
    SendMessageW(control, WM_SETFONT, font, TRUE);
  }
  SetWindowTextW(g_controls.modelLabel, modelLabel.c_str());
}

void SetBoxText(HWND box, const wchar_t* text) {
  SetWindowTextW(box, text);
  InvalidateRect(box, nullptr, TRUE);
  UpdateWindow(box);
  SendMessageW(box, EM_SETSEL, 0, 0);
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
  SendMessageW(box, WM_SIZE, 0, 0);
}

std::string RequestBody() {
  const int length = GetWindowTextLengthW(g_controls.inputBox);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(g_controls.inputBox, text.data(), length + 1)));
  std::wstring body;
  for (std::wstring_view piece : {W(kJsonHead), W(kPromptHead), std::wstring_view(text),
                                  W(kPromptTail), W(kJsonTail)}) {
    body += piece;
  }
  std::string bytes(body.size() * 3, '\0');
  bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(
      CP_UTF8, 0, body.data(), static_cast<int>(body.size()), bytes.data(),
      static_cast<int>(bytes.size()), nullptr, nullptr)));
  return bytes;
}

// The reply's bytes, or nothing when a step fails.
std::string Exchange(const std::string& body) {
  std::string reply;
  const HINTERNET session =
      WinHttpOpen(W(kUserAgent).data(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                  WINHTTP_NO_PROXY_BYPASS, 0);
  WinHttpSetTimeouts(session, kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs,
                     kReceiveTimeoutMs);
  DWORD responseTimeoutMs = kReceiveTimeoutMs;
  WinHttpSetOption(session, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeoutMs,
                   sizeof(responseTimeoutMs));
  URL_COMPONENTS url{};
  url.dwStructSize = sizeof(url);
  url.dwSchemeLength = url.dwHostNameLength = url.dwUrlPathLength = static_cast<DWORD>(-1);
  WinHttpCrackUrl(g_url, 0, 0, &url);
  const std::wstring host(url.lpszHostName, url.dwHostNameLength);
  const std::wstring path(url.lpszUrlPath, url.dwUrlPathLength);
  const HINTERNET connection = WinHttpConnect(session, host.c_str(), url.nPort, 0);
  const HINTERNET request =
      WinHttpOpenRequest(connection, L"POST", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                         WINHTTP_DEFAULT_ACCEPT_TYPES, WINHTTP_FLAG_SECURE);
  WinHttpAddRequestHeaders(request, W(kContentTypeHeader).data(), static_cast<DWORD>(-1),
                           WINHTTP_ADDREQ_FLAG_ADD);
  WinHttpAddRequestHeaders(request, W(kAcceptHeader).data(), static_cast<DWORD>(-1),
                           WINHTTP_ADDREQ_FLAG_ADD);
  const auto length = static_cast<DWORD>(body.size());
  if (WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                         const_cast<char*>(body.data()), length, length, 0) &&
      WinHttpReceiveResponse(request, nullptr)) {
    DWORD available = 0;
    while (WinHttpQueryDataAvailable(request, &available) && available > 0) {
      const std::size_t received = reply.size();
      reply.resize(received + available);
      DWORD read = 0;
      WinHttpReadData(request, reply.data() + received, available, &read);
      reply.resize(received + read);
      if (read == 0) break;
    }
  }
  WinHttpCloseHandle(request);
  WinHttpCloseHandle(connection);
  WinHttpCloseHandle(session);
  return reply;
}

// The answer's bytes, decoded in place: only "\n" is an escape here.
std::string_view DecodeAnswer(std::string& reply) {
  const std::size_t begin = reply.find(kAnswerMarker);
  if (begin == std::string::npos) return {};
  std::size_t from = begin + kAnswerMarker.size();
  std::size_t to = from;
  while (from < reply.size() && reply[from] != '"') {
    if (reply[from] == '\\' && from + 1 < reply.size() && reply[from + 1] == 'n') {
      reply[to++] = '\n';
      from += 2;
    } else {
      reply[to++] = reply[from++];
    }
  }
  return std::string_view(reply).substr(begin + kAnswerMarker.size(),
                                        to - begin - kAnswerMarker.size());
}

void Translate() {
  std::string reply = Exchange(RequestBody());
  const std::string_view answer = DecodeAnswer(reply);
  std::wstring text(answer.size() + 1, L'\0');
  text.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_UTF8, 0, answer.data(), static_cast<int>(answer.size()), text.data(),
      static_cast<int>(text.size()))));
  // Each section ends where the next label's line feed stands: a terminator
  // there makes the three texts without copying them.
  const wchar_t* sections[std::size(kLabels)] = {};
  std::size_t position = 0;
  for (std::size_t i = 0; i < std::size(kLabels); ++i) {
    position = text.find(kLabels[i], position);
    if (position == std::wstring::npos) return;
    if (i > 0) text[position] = L'\0';
    position += kLabels[i].size();
    sections[i] = text.c_str() + position;
  }
  const HWND boxes[] = {g_controls.arabicBox, g_controls.englishBox, g_controls.germanBox};
  for (std::size_t i = 0; i < std::size(boxes); ++i) SetBoxText(boxes[i], sections[i]);
}

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_TRANSLATE_BUTTON) {
    if (g_url[0] != L'\0') Translate();  // started without a URL: start-up only
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDC_CLEAR_BUTTON) {
    for (HWND box : {g_controls.inputBox, g_controls.arabicBox, g_controls.englishBox,
                     g_controls.germanBox}) {
      SetBoxText(box, L"");
    }
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showMode) {
  // As Parlivo's start does: WinHTTP, loaded at the first translation, then
  // comes from the system folder only.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  Point position;
  const int placed = swscanf(commandLine, L"%d %d %1023ls", &position.x, &position.y, g_url);
  if (placed != kPlacementArguments) {
    if (*commandLine != L'\0') return 1;
    position = {(GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2,
                (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2};
  }

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = BareWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);

  const std::wstring modelLabel = ModelLabel(ReadConfigBytes());
  const HWND window =
      CreateWindowExW(0, kClassName, kTitle, kMainWindowStyle, position.x, position.y,
                      kMainWindowWidth, kMainWindowHeight, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  AppendMenus(window);
  CreateControls(window, instance, modelLabel);
  ShowWindow(window, showMode);
  UpdateWindow(window);
  SetFocus(g_controls.inputBox);

  // The table is only read; the declaration merely lacks the const.
  const HACCEL accelerators = CreateAcceleratorTableW(const_cast<ACCEL*>(kAccelerators),
                                                      static_cast<int>(std::size(kAccelerators)));
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return 0;
}
