#include "WindowWaits.h"

#include <cstring>

#include "GuiTestSupport.h"

namespace sombrevox::test {

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  return condition() || PumpUntil(condition, static_cast<DWORD>(limit.count()));
}

namespace {

struct Search {
  const char* className;
  bool visibleOnly;
  bool partial;
  std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
  Search& search = *reinterpret_cast<Search*>(data);
  char name[128] = "";
  GetClassNameA(window, name, sizeof name);
  const bool match =
      search.partial ? std::strstr(name, search.className) != nullptr : lstrcmpiA(name, search.className) == 0;
  if (match && (!search.visibleOnly || IsWindowVisible(window))) search.found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(const char* className, bool visibleOnly) {
  Search search{className, visibleOnly, false, {}};
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildWindows(HWND parent, const char* classPart) {
  Search search{classPart, false, true, {}};
  EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           5000, &copied))
    return {};
  text.resize(copied);
  return text;
}

}  // namespace sombrevox::test
