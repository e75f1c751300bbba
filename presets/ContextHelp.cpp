#include "ContextHelp.h"

#include "PluginSettings.h"
#include "ResourceIds.h"

namespace sombrevox {

const DWORD kContextHelpTopics[] = {
    IDC_LEVEL, 3, IDC_VALUE, 4, IDC_SELECT_LEFT, 5, IDC_SELECT_RIGHT, 5, IDC_DISPLAY, 6, 0, 0,
};

namespace {

// The topic of control `id` in a table of pairs ending with a zero pair, or 0.
DWORD TopicOf(int id, const DWORD* topics) {
  for (; topics[0] != 0; topics += 2)
    if (topics[0] == static_cast<DWORD>(id)) return topics[1];
  return 0;
}

}  // namespace

// The control's topic is looked up here and opened by number with
// HELP_CONTEXT, like the general topic. Neither way of asking for a pop-up
// shows anything under Wine: its WinHelpA refuses HELP_WM_HELP (the table
// handed over whole), and its viewer takes HELP_CONTEXTPOPUP without acting
// on it. HELP_CONTEXT shows the same topic on every platform with a viewer.
BOOL ShowContextHelp(HWND page, const HELPINFO* request, const DWORD* topics, HMODULE module) {
  char path[MAX_PATH];
  HelpFilePath(module, path);
  if (!request) return WinHelpA(page, path, HELP_QUIT, 0);
  DWORD topic = kGeneralHelpTopic;
  if (request->iContextType == HELPINFO_WINDOW) {
    if (const DWORD listed = TopicOf(request->iCtrlId, topics)) topic = listed;
  }
  return WinHelpA(page, path, HELP_CONTEXT, topic);
}

// The general topic by number rather than HELP_FORCEFILE, which Wine's viewer
// does not act on: the same topic opens everywhere.
BOOL OpenHelp(HWND page, HMODULE module) {
  char path[MAX_PATH];
  HelpFilePath(module, path);
  return WinHelpA(page, path, HELP_CONTEXT, kGeneralHelpTopic);
}

}  // namespace sombrevox
