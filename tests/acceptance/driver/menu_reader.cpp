#include "menu_reader.h"

#include <vector>

#include "protocol.h"

namespace driver {
namespace {

constexpr UINT kMenuTextCapacity = 256;

std::string DescribeItems(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  if (count < 0) throw CommandError("the menu cannot be read");
  std::vector<std::string> items;
  for (int i = 0; i < count; ++i) {
    wchar_t text[kMenuTextCapacity] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = kMenuTextCapacity;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
      throw CommandError("menu item " + std::to_string(i) + " cannot be read");
    }
    JsonObject item;
    if (info.fType & MFT_SEPARATOR) {
      item.Text("type", L"separator");
    } else if (info.hSubMenu != nullptr) {
      item.Text("type", L"popup");
    } else {
      item.Text("type", L"string");
    }
    item.Number("id", info.wID).Text("text", text);
    if (info.hSubMenu != nullptr) item.Raw("items", DescribeItems(info.hSubMenu));
    items.push_back(item.Finish());
  }
  return JsonArray(items);
}

}  // namespace

std::string DescribeMenuResource(const std::wstring& path, int id) {
  HMODULE module =
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) throw CommandError("cannot load " + WideToUtf8(path));
  HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(id));
  if (menu == nullptr) {
    FreeLibrary(module);
    throw CommandError("no menu resource " + std::to_string(id));
  }
  std::string items;
  try {
    items = DescribeItems(menu);
  } catch (...) {
    DestroyMenu(menu);
    FreeLibrary(module);
    throw;
  }
  DestroyMenu(menu);
  FreeLibrary(module);
  return JsonObject().Raw("items", items).Finish();
}

}  // namespace driver
