// The texts of a session-list entry as the meeting pages keep them.
#pragma once

#include <string>

// A row's two texts as a meeting page keeps them: trimmed, then made storable in a list
// (the rule the import follows too), and "<empty>" for no Description, which would end
// the list. False when no Access Code is left: such a row is not kept.
bool MakeRowTexts(std::string& description, std::string& accessCode);
