// The registry reads and writes of self-registration, over the system registry. Class keys
// live under HKEY_CLASSES_ROOT; every text is written as REG_SZ with its terminating zero
// unless said otherwise.
#pragma once

#include <optional>
#include <string>

#include "platform/windows_api.h"

namespace morvane {

// Writes value `name` ("" for the default value) of the key, creating the key and its missing
// parents; false when the key cannot be created or the value not written.
bool WriteRegText(HKEY root, const std::string& key, const std::string& name, const std::string& data);
// The same under HKEY_CLASSES_ROOT; EOleRegistrationError "Error creating system registry entry"
// on failure.
void CreateRegKey(const std::string& key, const std::string& name, const std::string& data);
// A plain deletion under HKEY_CLASSES_ROOT: a key that has subkeys stays; failures are ignored.
void DeleteRegKey(const std::string& key);

bool RegKeyExists(HKEY root, const std::string& key);
// True when the key exists and has neither subkeys nor values.
bool RegKeyIsEmpty(HKEY root, const std::string& key);
// The key's default value as text (up to its first zero) when it is a string value of at most
// `max_bytes` bytes; none when the key or value is missing, of another type, or longer.
std::optional<std::string> ReadDefaultText(HKEY root, const std::string& key, DWORD max_bytes);
// The same for value `name` ("" for the default value).
std::optional<std::string> ReadRegText(HKEY root, const std::string& key, const std::string& name, DWORD max_bytes);

}  // namespace morvane
