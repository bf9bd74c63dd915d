#include "shellext/registry_entries.h"

#include <vector>

#include "shellext/server_errors.h"

namespace morvane {

namespace {

// Closes the key on every way out.
class TOpenKey {
 public:
  TOpenKey() = default;
  ~TOpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  TOpenKey(const TOpenKey&) = delete;
  TOpenKey& operator=(const TOpenKey&) = delete;
  HKEY* Out() { return &key_; }
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool WriteRegText(HKEY root, const std::string& key, const std::string& name, const std::string& data) {
  TOpenKey opened;
  if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                      opened.Out(), nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExA(opened.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

void CreateRegKey(const std::string& key, const std::string& name, const std::string& data) {
  if (!WriteRegText(HKEY_CLASSES_ROOT, key, name, data))
    throw EOleRegistrationError("Error creating system registry entry");
}

void DeleteRegKey(const std::string& key) { RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str()); }

bool RegKeyExists(HKEY root, const std::string& key) {
  TOpenKey opened;
  return RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.Out()) == ERROR_SUCCESS;
}

bool RegKeyIsEmpty(HKEY root, const std::string& key) {
  TOpenKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.Out()) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyA(opened.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

std::optional<std::string> ReadDefaultText(HKEY root, const std::string& key, DWORD max_bytes) {
  return ReadRegText(root, key, "", max_bytes);
}

std::optional<std::string> ReadRegText(HKEY root, const std::string& key, const std::string& name, DWORD max_bytes) {
  TOpenKey opened;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.Out()) != ERROR_SUCCESS) return std::nullopt;
  std::vector<char> buffer(max_bytes + 1, '\0');
  DWORD type = REG_NONE;
  DWORD size = max_bytes;
  if (RegQueryValueExA(opened.Get(), name.empty() ? nullptr : name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::string text(buffer.data(), size);
  if (const size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

}  // namespace morvane
