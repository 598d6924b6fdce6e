// The per-user settings value: one text per application, section and key, kept in an INI file
// under the user's configuration folder: $XDG_CONFIG_HOME/kvor/APPLICATION.ini, or
// ~/.config/kvor/APPLICATION.ini when XDG_CONFIG_HOME is not set. The file is UTF-8; values come
// back as Windows-1252 text.
#pragma once

#include <string>

namespace kvor::sys {

// The folder of the settings files.
std::string SettingsFolder();

// Reads the value; a missing file, section or key gives `fallback`. False (with a reason) only
// when the file exists but cannot be read.
bool ReadSetting(const std::string& application, const std::string& section, const std::string& key,
                 const std::string& fallback, std::string& value, std::string& error);
// Writes the value, keeping every other line of the file.
bool WriteSetting(const std::string& application, const std::string& section,
                  const std::string& key, const std::string& value, std::string& error);

}  // namespace kvor::sys
