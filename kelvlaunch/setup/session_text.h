// The texts of a session-list entry as the meeting pages keep them.
#pragma once

#include <string>

// Where a row's texts come from: typed into Session Information, or the page's table (read
// from the list file, imported, or stored by the page before).
enum class RowTexts { Typed, Listed };

// A row's two texts as a meeting page keeps them: trimmed, and "<empty>" for no Description,
// which would end the list. Typed texts are made storable in a list (the rule the import
// follows too); listed ones stay byte for byte unless they would hide the entries after
// them. False when no Access Code is left: such a row is not kept.
bool MakeRowTexts(std::string& description, std::string& accessCode, RowTexts source);
