#include <cstring>

#include "PluginSettings.h"
#include "RegistryKey.h"
#include "ResourceIds.h"
#include "SombrevoxLight.h"

namespace sombrevox {

const char kSettingsKey[] = "Software\\ORVELA Soft\\Sombrevox Light\\2.0.000";

namespace {

constexpr char kServerSubkey[] = "\\InProcServer32";
constexpr std::size_t kFilterServerKeySize = kClassKeyNameLength + sizeof kServerSubkey;

// The filter's server key, formed in `key` without allocating: the settings
// are read in the filter's constructor, where nothing may throw.
void FormFilterServerKey(char (&key)[kFilterServerKeySize]) noexcept {
  char classKey[kClassKeyNameLength + 1];
  ClassKeyName(CLSID_SombrevoxLight, classKey);
  const std::size_t length = std::strlen(classKey);
  std::memcpy(key, classKey, length);
  std::memcpy(key + length, kServerSubkey, sizeof kServerSubkey);
}

constexpr char kHelpFileName[] = "OVSombrevoxLight.HLP";

// Reads a string value whole, terminated, into `text` (`size` bytes). A value
// that does not fit with its terminator is a failed read: `text` is then
// left as it was.
bool ReadString(HKEY key, const char* name, char* text, DWORD size) {
  char value[512 + 1];
  DWORD bytes = size;
  if (size > sizeof value - 1) return false;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS)
    return false;
  value[bytes] = '\0';
  const size_t length = std::strlen(value);
  if (length >= size) return false;
  std::memcpy(text, value, length + 1);
  return true;
}

// Start of the file name in a path: after the last '\' or ':', or the whole.
size_t FileNameOffset(const char* path) {
  size_t offset = 0;
  for (size_t i = 0; path[i]; ++i)
    if (path[i] == '\\' || path[i] == ':') offset = i + 1;
  return offset;
}

// `folderOf`'s folder followed by `name`, cut to fit `size` bytes.
void ReplaceFileName(char* out, size_t size, const char* folderOf, const char* name) {
  const size_t offset = FileNameOffset(folderOf);
  if (offset >= size) {
    out[0] = '\0';
    return;
  }
  std::memmove(out, folderOf, offset);
  const size_t room = size - offset - 1;
  size_t n = std::strlen(name);
  if (n > room) n = room;
  std::memcpy(out + offset, name, n);
  out[offset + n] = '\0';
}

}  // namespace

std::string FilterServerKey() {
  char key[kFilterServerKeySize];
  FormFilterServerKey(key);
  return key;
}

void InitPluginSettings(PluginSettings* settings) {
  settings->showPresentation = TRUE;
  settings->pendingShowPresentation = TRUE;
  settings->presetsBankPath[0] = '\0';
}

bool LoadSettings(HMODULE resources, PluginSettings* settings) {
  char modulePath[sizeof settings->presetsBankPath];
  {
    char serverKey[kFilterServerKeySize];
    FormFilterServerKey(serverKey);
    RegistryKey server;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, serverKey, 0, KEY_QUERY_VALUE, server.Receive()) != ERROR_SUCCESS)
      return false;
    if (!ReadString(server.Get(), nullptr, modulePath, sizeof modulePath)) return false;
  }

  char bankName[32] = "";
  LoadStringA(resources, IDS_BANK_FILE, bankName, sizeof bankName);
  // The bank sits beside the registered module: its file name, whatever it
  // is, gives way to the default bank's.
  ReplaceFileName(settings->presetsBankPath, sizeof settings->presetsBankPath, modulePath, bankName);

  RegistryKey key;
  RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_QUERY_VALUE, key.Receive());
  // A missing key is no error: the reads fail and the defaults stay.
  DWORD show = 1;
  DWORD bytes = sizeof show;
  if (RegQueryValueExA(key.Get(), "ShowPresentation", nullptr, nullptr, reinterpret_cast<BYTE*>(&show), &bytes) !=
      ERROR_SUCCESS)
    show = 1;
  settings->showPresentation = show != 0 ? TRUE : FALSE;
  return ReadString(key.Get(), "PresetsBank", settings->presetsBankPath, sizeof settings->presetsBankPath);
}

bool SaveSettings(const PluginSettings* settings) {
  RegistryKey key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD show = settings->showPresentation ? 1 : 0;
  RegSetValueExA(key.Get(), "ShowPresentation", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&show), sizeof show);
  const size_t length = strnlen(settings->presetsBankPath, sizeof settings->presetsBankPath - 1);
  // A filter that never knew a bank (its module was not registered) must not
  // wipe the one stored for every other instance.
  if (length == 0) return true;
  char path[sizeof settings->presetsBankPath];
  std::memcpy(path, settings->presetsBankPath, length);
  path[length] = '\0';
  RegSetValueExA(key.Get(), "PresetsBank", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                 static_cast<DWORD>(length + 1));
  return true;
}

void HelpFilePath(HMODULE module, char path[MAX_PATH]) {
  char modulePath[MAX_PATH] = "";
  const DWORD n = GetModuleFileNameA(module, modulePath, MAX_PATH);
  modulePath[n < MAX_PATH ? n : MAX_PATH - 1] = '\0';
  ReplaceFileName(path, MAX_PATH, modulePath, kHelpFileName);
}

}  // namespace sombrevox
