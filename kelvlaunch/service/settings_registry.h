// The per-user settings key, HKEY_CURRENT_USER\Software\Ostrand\LumetraAgent, and its
// string values. Every call opens the key chain afresh (creating it when absent) and
// closes it again; failures read as empty text and writes that fail are not reported.
#pragma once

#include <string>

#include "scoped_win.h"

// The settings key with read and write access, or none.
scoped::RegKey OpenSettingsKey();

// The value's text up to its first NUL, however long; empty when it can't be read.
std::string ReadRegistryString(const char* valueName);

// Stores the text as a REG_SZ value.
void WriteRegistryString(const char* valueName, const std::string& text);
