// The texts of a session-list entry as the meeting pages keep them.
#pragma once

#include <string>

// Without leading and trailing white space (space, TAB, LF, VT, FF, CR). In the double-byte
// code pages no lead or trail byte is one of these, so double-byte characters stay whole.
std::string TrimSessionText(const std::string& text);
