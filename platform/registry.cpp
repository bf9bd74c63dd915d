// Stand-in for the system registry: a tree of keys in memory behind a process-wide lock, with
// an optional backing file that is reloaded whenever another writer changed it and rewritten
// after every change made here.
#if !defined(_WIN32)

#include "platform/registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string_view>

#include "platform/text.h"

namespace {

struct TValue {
  std::string Name;
  DWORD Type = REG_NONE;
  std::string Data;
};

struct TKey {
  std::string Name;
  TKey* Parent = nullptr;
  std::vector<std::shared_ptr<TKey>> Subkeys;  // ordered by their upper-case names
  std::vector<TValue> Values;                  // in the order they were first written
  bool Deleted = false;
  bool ReadOnly = false;
};

constexpr std::array<const char*, 3> kRootNames = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                                   "HKEY_LOCAL_MACHINE"};
constexpr uint32_t kHandleMagic = 0x59454B48;  // "HKEY"
constexpr REGSAM kWriteAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

}  // namespace

struct HKEY__ {
  uint32_t Magic = kHandleMagic;
  std::shared_ptr<TKey> Key;
  REGSAM Access = 0;
};

namespace {

using morvane::TRegistryEntry;

// The identity of one version of the backing file, to notice another writer's change.
struct TFileIdentity {
  bool Exists = false;
  dev_t Device = 0;
  ino_t Inode = 0;
  off_t Size = 0;
  int64_t ModifiedNs = 0;
  bool operator==(const TFileIdentity&) const = default;
};

TFileIdentity IdentityOf(const std::string& file_name) {
  TFileIdentity identity;
  struct stat info{};
  if (::stat(file_name.c_str(), &info) != 0) return identity;
  identity.Exists = true;
  identity.Device = info.st_dev;
  identity.Inode = info.st_ino;
  identity.Size = info.st_size;
  identity.ModifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
  return identity;
}

std::string SortName(std::string_view name) { return morvane::UpperCase(name); }

class TStore {
 public:
  TStore() {
    ResetTree();
    if (const char* file = std::getenv("MORVANE_REGISTRY"); file != nullptr && *file != '\0') Attach(file);
  }

  std::recursive_mutex Lock;

  void Reset(const std::string& file_name) {
    file_name_.clear();
    dirty_ = false;
    ResetTree();
    if (!file_name.empty()) Attach(file_name);
  }

  // Takes in another writer's version of the backing file, unless changes of ours are still
  // to be saved.
  void Sync() {
    if (file_name_.empty() || dirty_) return;
    const TFileIdentity now = IdentityOf(file_name_);
    if (now == identity_) return;
    ResetTree();
    Load(morvane::ReadRegistryFile(file_name_));
    identity_ = now;
  }

  // Changes are saved once no key handle is open any more.
  void Changed() {
    dirty_ = !file_name_.empty();
    SaveWhenIdle();
  }

  void SaveWhenIdle() {
    if (!dirty_ || !handles_.empty()) return;
    morvane::WriteRegistryFile(file_name_, Entries());
    identity_ = IdentityOf(file_name_);
    dirty_ = false;
  }

  std::shared_ptr<TKey> Root(HKEY predefined) const {
    const auto value = reinterpret_cast<ULONG_PTR>(predefined);
    if (value < 0x80000000u || value > 0x80000002u) return nullptr;
    return roots_[value - 0x80000000u];
  }

  HKEY NewHandle(std::shared_ptr<TKey> key, REGSAM access) {
    auto* handle = new HKEY__;
    handle->Key = std::move(key);
    handle->Access = access;
    handles_.insert(handle);
    return handle;
  }

  // The key and access of a predefined root or an open handle; false for anything else.
  bool Resolve(HKEY handle, std::shared_ptr<TKey>& key, REGSAM& access) const {
    if (auto root = Root(handle)) {
      key = std::move(root);
      access = KEY_ALL_ACCESS;
      return true;
    }
    if (handles_.count(handle) == 0 || handle->Magic != kHandleMagic) return false;
    key = handle->Key;
    access = handle->Access;
    return true;
  }

  bool Close(HKEY handle) {
    if (Root(handle)) return true;
    auto it = handles_.find(handle);
    if (it == handles_.end()) return false;
    handles_.erase(it);
    delete handle;
    SaveWhenIdle();
    return true;
  }

  std::vector<TRegistryEntry> Entries() const {
    std::vector<TRegistryEntry> entries;
    for (size_t i = 0; i < roots_.size(); ++i) AppendEntries(*roots_[i], kRootNames[i], entries);
    return entries;
  }

 private:
  void Attach(const std::string& file_name) {
    file_name_ = file_name;
    identity_ = TFileIdentity{};
    identity_.Size = -1;  // differs from every real state, so the first Sync loads
    Sync();
  }

  void ResetTree() {
    for (auto& root : roots_) {
      if (root) MarkDeleted(*root);
      root = std::make_shared<TKey>();
    }
    for (size_t i = 0; i < roots_.size(); ++i) roots_[i]->Name = kRootNames[i];
  }

  static void MarkDeleted(TKey& key) {
    key.Deleted = true;
    for (auto& sub : key.Subkeys) MarkDeleted(*sub);
  }

  static void AppendEntries(const TKey& key, const std::string& path, std::vector<TRegistryEntry>& entries) {
    TRegistryEntry entry;
    entry.Key = path;
    entry.ReadOnly = key.ReadOnly;
    entries.push_back(entry);
    for (const TValue& value : key.Values) {
      TRegistryEntry v;
      v.Key = path;
      v.IsValue = true;
      v.Name = value.Name;
      v.Type = value.Type;
      v.Data = value.Data;
      entries.push_back(std::move(v));
    }
    for (const auto& sub : key.Subkeys) AppendEntries(*sub, path + "\\" + sub->Name, entries);
  }

  void Load(const std::vector<TRegistryEntry>& entries) {
    for (const TRegistryEntry& entry : entries) {
      TKey* key = FindOrCreatePath(entry.Key);
      if (key == nullptr) continue;
      if (!entry.IsValue) {
        key->ReadOnly = entry.ReadOnly;
        continue;
      }
      auto it = std::find_if(key->Values.begin(), key->Values.end(),
                             [&](const TValue& v) { return morvane::SameText(v.Name, entry.Name); });
      if (it == key->Values.end()) it = key->Values.insert(key->Values.end(), TValue{entry.Name, 0, {}});
      it->Type = entry.Type;
      it->Data = entry.Data;
    }
  }

  TKey* FindOrCreatePath(const std::string& path) {
    std::string_view rest(path);
    const size_t cut = rest.find('\\');
    const std::string_view root_name = rest.substr(0, cut);
    TKey* key = nullptr;
    for (size_t i = 0; i < roots_.size(); ++i)
      if (morvane::SameText(root_name, kRootNames[i])) key = roots_[i].get();
    if (key == nullptr) return nullptr;
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    while (!rest.empty()) {
      const size_t next = rest.find('\\');
      const std::string_view name = rest.substr(0, next);
      if (name.empty()) return nullptr;
      key = Child(*key, name, true);
      rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
    }
    return key;
  }

 public:
  static TKey* Child(TKey& parent, std::string_view name, bool create) {
    const std::string sort_name = SortName(name);
    auto it = std::lower_bound(
        parent.Subkeys.begin(), parent.Subkeys.end(), sort_name,
        [](const std::shared_ptr<TKey>& k, const std::string& n) { return SortName(k->Name) < n; });
    if (it != parent.Subkeys.end() && SortName((*it)->Name) == sort_name) return it->get();
    if (!create) return nullptr;
    auto key = std::make_shared<TKey>();
    key->Name = std::string(name);
    key->Parent = &parent;
    return parent.Subkeys.insert(it, std::move(key))->get();
  }

  static std::shared_ptr<TKey> Shared(TKey& key) {
    if (key.Parent == nullptr) return nullptr;
    for (const auto& sub : key.Parent->Subkeys)
      if (sub.get() == &key) return sub;
    return nullptr;
  }

 private:
  std::array<std::shared_ptr<TKey>, 3> roots_;
  std::set<HKEY__*> handles_;
  std::string file_name_;
  TFileIdentity identity_;
  bool dirty_ = false;
};

TStore& Store() {
  static TStore store;
  return store;
}

// Splits "A\B\C" into its names; false for an empty name inside the path.
bool SplitPath(LPCSTR path, std::vector<std::string_view>& names) {
  names.clear();
  if (path == nullptr || *path == '\0') return true;
  std::string_view rest(path);
  while (true) {
    const size_t cut = rest.find('\\');
    const std::string_view name = rest.substr(0, cut);
    if (name.empty()) return false;
    names.push_back(name);
    if (cut == std::string_view::npos) return true;
    rest = rest.substr(cut + 1);
    if (rest.empty()) return true;  // one trailing separator is tolerated
  }
}

TValue* FindValue(TKey& key, LPCSTR name) {
  const std::string_view wanted = name == nullptr ? std::string_view() : std::string_view(name);
  for (TValue& value : key.Values)
    if (morvane::SameText(value.Name, wanted)) return &value;
  return nullptr;
}

// Opens (create false) or creates the key below `start`, following `names`.
LSTATUS Walk(const std::shared_ptr<TKey>& start, REGSAM start_access, const std::vector<std::string_view>& names,
             bool create, REGSAM desired, std::shared_ptr<TKey>& result, DWORD& disposition) {
  TKey* key = start.get();
  std::shared_ptr<TKey> holder = start;
  disposition = REG_OPENED_EXISTING_KEY;
  for (std::string_view name : names) {
    TKey* child = TStore::Child(*key, name, false);
    if (child == nullptr) {
      if (!create) return ERROR_FILE_NOT_FOUND;
      if (key->ReadOnly || (key == start.get() && (start_access & KEY_CREATE_SUB_KEY) == 0))
        return ERROR_ACCESS_DENIED;
      child = TStore::Child(*key, name, true);
      disposition = REG_CREATED_NEW_KEY;
    }
    key = child;
  }
  if (key != start.get()) holder = TStore::Shared(*key);
  if (key->ReadOnly && (desired & kWriteAccess) != 0) return ERROR_ACCESS_DENIED;
  result = holder;
  return ERROR_SUCCESS;
}

// The key of a handle, checked for life and for the access an operation needs.
LSTATUS Use(HKEY handle, REGSAM needed, std::shared_ptr<TKey>& key) {
  REGSAM access = 0;
  if (!Store().Resolve(handle, key, access)) return ERROR_INVALID_HANDLE;
  if (key->Deleted) return ERROR_KEY_DELETED;
  if ((access & needed) != needed) return ERROR_ACCESS_DENIED;
  return ERROR_SUCCESS;
}

LSTATUS OpenOrCreate(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, bool create, PHKEY phkResult,
                     LPDWORD lpdwDisposition) {
  if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> start;
  REGSAM start_access = 0;
  if (!store.Resolve(hKey, start, start_access)) return ERROR_INVALID_HANDLE;
  if (start->Deleted) return ERROR_KEY_DELETED;
  std::vector<std::string_view> names;
  if (!SplitPath(lpSubKey, names)) return ERROR_BAD_PATHNAME;
  std::shared_ptr<TKey> key;
  DWORD disposition = REG_OPENED_EXISTING_KEY;
  const LSTATUS status = Walk(start, start_access, names, create, samDesired, key, disposition);
  if (disposition == REG_CREATED_NEW_KEY) store.Changed();
  if (status != ERROR_SUCCESS) return status;
  *phkResult = store.NewHandle(std::move(key), samDesired);
  if (lpdwDisposition != nullptr) *lpdwDisposition = disposition;
  return ERROR_SUCCESS;
}

LSTATUS CopyOut(const std::string& text, LPSTR buffer, LPDWORD chars) {
  if (chars == nullptr) return ERROR_INVALID_PARAMETER;
  if (buffer == nullptr || *chars < text.size() + 1) {
    *chars = static_cast<DWORD>(text.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *chars = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}

LSTATUS CopyData(const TValue& value, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  if (lpType != nullptr) *lpType = value.Type;
  if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
  if (lpcbData == nullptr) return ERROR_SUCCESS;
  const auto size = static_cast<DWORD>(value.Data.size());
  if (lpData == nullptr) {
    *lpcbData = size;
    return ERROR_SUCCESS;
  }
  if (*lpcbData < size) {
    *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  std::memcpy(lpData, value.Data.data(), size);
  *lpcbData = size;
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired, LPSECURITY_ATTRIBUTES,
                        PHKEY phkResult, LPDWORD lpdwDisposition) {
  return OpenOrCreate(hKey, lpSubKey, samDesired, true, phkResult, lpdwDisposition);
}

LSTATUS RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
  return OpenOrCreate(hKey, lpSubKey, samDesired, false, phkResult, nullptr);
}

LSTATUS RegCloseKey(HKEY hKey) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  return store.Close(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> key;
  if (LSTATUS status = Use(hKey, KEY_SET_VALUE, key); status != ERROR_SUCCESS) return status;
  if (lpData == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
  TValue* value = FindValue(*key, lpValueName);
  if (value == nullptr) {
    key->Values.push_back(TValue{lpValueName == nullptr ? std::string() : std::string(lpValueName), 0, {}});
    value = &key->Values.back();
  }
  value->Type = dwType;
  value->Data.assign(reinterpret_cast<const char*>(lpData), lpData == nullptr ? 0 : cbData);
  store.Changed();
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> key;
  if (LSTATUS status = Use(hKey, KEY_QUERY_VALUE, key); status != ERROR_SUCCESS) return status;
  const TValue* value = FindValue(*key, lpValueName);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  return CopyData(*value, lpType, lpData, lpcbData);
}

LSTATUS RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> start;
  if (LSTATUS status = Use(hKey, 0, start); status != ERROR_SUCCESS) return status;
  std::vector<std::string_view> names;
  if (!SplitPath(lpSubKey, names)) return ERROR_BAD_PATHNAME;
  TKey* key = start.get();
  for (std::string_view name : names) {
    key = TStore::Child(*key, name, false);
    if (key == nullptr) return ERROR_FILE_NOT_FOUND;
  }
  if (key->Parent == nullptr || key->ReadOnly || !key->Subkeys.empty()) return ERROR_ACCESS_DENIED;
  key->Deleted = true;
  auto& siblings = key->Parent->Subkeys;
  siblings.erase(std::remove_if(siblings.begin(), siblings.end(),
                                [key](const std::shared_ptr<TKey>& k) { return k.get() == key; }),
                 siblings.end());
  store.Changed();
  return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> key;
  if (LSTATUS status = Use(hKey, KEY_SET_VALUE, key); status != ERROR_SUCCESS) return status;
  const TValue* value = FindValue(*key, lpValueName);
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  key->Values.erase(key->Values.begin() + (value - key->Values.data()));
  store.Changed();
  return ERROR_SUCCESS;
}

LSTATUS RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                         LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                         LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                         PFILETIME lpftLastWriteTime) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> key;
  if (LSTATUS status = Use(hKey, KEY_QUERY_VALUE, key); status != ERROR_SUCCESS) return status;
  if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) lpClass[0] = '\0';
  if (lpcchClass != nullptr) *lpcchClass = 0;
  DWORD max_sub = 0;
  DWORD max_name = 0;
  DWORD max_data = 0;
  for (const auto& sub : key->Subkeys) max_sub = std::max<DWORD>(max_sub, static_cast<DWORD>(sub->Name.size()));
  for (const TValue& value : key->Values) {
    max_name = std::max<DWORD>(max_name, static_cast<DWORD>(value.Name.size()));
    max_data = std::max<DWORD>(max_data, static_cast<DWORD>(value.Data.size()));
  }
  if (lpcSubKeys != nullptr) *lpcSubKeys = static_cast<DWORD>(key->Subkeys.size());
  if (lpcbMaxSubKeyLen != nullptr) *lpcbMaxSubKeyLen = max_sub;
  if (lpcbMaxClassLen != nullptr) *lpcbMaxClassLen = 0;
  if (lpcValues != nullptr) *lpcValues = static_cast<DWORD>(key->Values.size());
  if (lpcbMaxValueNameLen != nullptr) *lpcbMaxValueNameLen = max_name;
  if (lpcbMaxValueLen != nullptr) *lpcbMaxValueLen = max_data;
  if (lpcbSecurityDescriptor != nullptr) *lpcbSecurityDescriptor = 0;
  if (lpftLastWriteTime != nullptr) *lpftLastWriteTime = FILETIME{0, 0};
  return ERROR_SUCCESS;
}

LSTATUS RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD, LPSTR, LPDWORD lpcchClass,
                      PFILETIME lpftLastWriteTime) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> key;
  if (LSTATUS status = Use(hKey, KEY_ENUMERATE_SUB_KEYS, key); status != ERROR_SUCCESS) return status;
  if (dwIndex >= key->Subkeys.size()) return ERROR_NO_MORE_ITEMS;
  if (lpcchClass != nullptr) *lpcchClass = 0;
  if (lpftLastWriteTime != nullptr) *lpftLastWriteTime = FILETIME{0, 0};
  return CopyOut(key->Subkeys[dwIndex]->Name, lpName, lpcchName);
}

LSTATUS RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD, LPDWORD lpType,
                      LPBYTE lpData, LPDWORD lpcbData) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  std::shared_ptr<TKey> key;
  if (LSTATUS status = Use(hKey, KEY_QUERY_VALUE, key); status != ERROR_SUCCESS) return status;
  if (dwIndex >= key->Values.size()) return ERROR_NO_MORE_ITEMS;
  const TValue& value = key->Values[dwIndex];
  if (LSTATUS status = CopyOut(value.Name, lpValueName, lpcchValueName); status != ERROR_SUCCESS) return status;
  return CopyData(value, lpType, lpData, lpcbData);
}

namespace morvane {

namespace {

constexpr std::array<std::pair<DWORD, const char*>, 6> kTypeNames = {{{REG_NONE, "REG_NONE"},
                                                                      {REG_SZ, "REG_SZ"},
                                                                      {REG_EXPAND_SZ, "REG_EXPAND_SZ"},
                                                                      {REG_BINARY, "REG_BINARY"},
                                                                      {REG_DWORD, "REG_DWORD"},
                                                                      {REG_MULTI_SZ, "REG_MULTI_SZ"}}};

std::string TypeName(DWORD type) {
  for (const auto& [value, name] : kTypeNames)
    if (value == type) return name;
  return std::to_string(type);
}

bool ParseType(std::string_view text, DWORD& type) {
  for (const auto& [value, name] : kTypeNames)
    if (text == name) {
      type = value;
      return true;
    }
  if (text.empty() || text.size() > 10) return false;
  uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  if (number > 0xFFFFFFFFu) return false;
  type = static_cast<DWORD>(number);
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Key paths: "%HH" for control bytes, bytes from 0x7F and the characters % [ ].
std::string EscapeKey(std::string_view path) {
  std::string out;
  for (char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b >= 0x7F || c == '%' || c == '[' || c == ']')
      out += Format("%%%02X", b);
    else
      out += c;
  }
  return out;
}

bool UnescapeKey(std::string_view text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int hi = HexDigit(text[i + 1]);
    const int lo = HexDigit(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

// Quoted texts: \\ \" \0 and \xHH for the other control bytes and bytes from 0x7F.
std::string Quote(std::string_view bytes) {
  std::string out = "\"";
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (b == 0) {
      out += "\\0";
    } else if (b < 0x20 || b >= 0x7F) {
      out += Format("\\x%02X", b);
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// Reads a quoted text at text[pos], leaving pos after its closing quote.
bool Unquote(std::string_view text, size_t& pos, std::string& out) {
  out.clear();
  if (pos >= text.size() || text[pos] != '"') return false;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++pos >= text.size()) return false;
    const char e = text[pos];
    if (e == '\\' || e == '"') {
      out += e;
    } else if (e == '0') {
      out += '\0';
    } else if (e == 'x' && pos + 2 < text.size()) {
      const int hi = HexDigit(text[pos + 1]);
      const int lo = HexDigit(text[pos + 2]);
      if (hi < 0 || lo < 0) return false;
      out += static_cast<char>(hi * 16 + lo);
      pos += 2;
    } else {
      return false;
    }
  }
  return false;
}

bool ParseKeyLine(std::string_view line, TRegistryEntry& entry) {
  const size_t close = line.rfind(']');
  if (close == std::string_view::npos || close == 0) return false;
  if (!UnescapeKey(line.substr(1, close - 1), entry.Key)) return false;
  const std::string rest = Trim(line.substr(close + 1));
  if (rest == "read-only")
    entry.ReadOnly = true;
  else if (!rest.empty())
    return false;
  return true;
}

bool ParseValueLine(std::string_view line, TRegistryEntry& entry) {
  size_t pos = 0;
  if (line[0] == '@') {
    entry.Name.clear();
    pos = 1;
  } else if (!Unquote(line, pos, entry.Name)) {
    return false;
  }
  if (pos >= line.size() || line[pos] != '=') return false;
  const size_t colon = line.find(':', pos + 1);
  if (colon == std::string_view::npos) return false;
  if (!ParseType(line.substr(pos + 1, colon - pos - 1), entry.Type)) return false;
  pos = colon + 1;
  if (!Unquote(line, pos, entry.Data)) return false;
  return pos == line.size();
}

}  // namespace

std::vector<TRegistryEntry> ReadRegistryFile(const std::string& file_name) {
  std::vector<TRegistryEntry> entries;
  std::ifstream file(file_name, std::ios::binary);
  std::string line;
  std::string key;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    TRegistryEntry entry;
    if (line[0] == '[') {
      if (!ParseKeyLine(line, entry)) {
        key.clear();
        continue;
      }
      key = entry.Key;
      entries.push_back(std::move(entry));
    } else if (!key.empty() && (line[0] == '@' || line[0] == '"')) {
      if (!ParseValueLine(line, entry)) continue;
      entry.Key = key;
      entry.IsValue = true;
      entries.push_back(std::move(entry));
    }
  }
  return entries;
}

bool WriteRegistryFile(const std::string& file_name, const std::vector<TRegistryEntry>& entries) {
  std::ostringstream text;
  text << "; Morvane registry stand-in\n";
  for (const TRegistryEntry& entry : entries) {
    if (!entry.IsValue) {
      text << '[' << EscapeKey(entry.Key) << ']' << (entry.ReadOnly ? " read-only" : "") << '\n';
    } else {
      text << (entry.Name.empty() ? std::string("@") : Quote(entry.Name)) << '=' << TypeName(entry.Type) << ':'
           << Quote(entry.Data) << '\n';
    }
  }
  const std::string temporary = file_name + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file << text.str();
    if (!file.flush()) return false;
  }
  return std::rename(temporary.c_str(), file_name.c_str()) == 0;
}

void StandInRegistryReset(const std::string& file_name) {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Reset(file_name);
}

std::vector<TRegistryEntry> StandInRegistryEntries() {
  TStore& store = Store();
  std::lock_guard guard(store.Lock);
  store.Sync();
  return store.Entries();
}

}  // namespace morvane

#endif
