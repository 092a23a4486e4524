// Access keys as the system marks them in a control's text: "&" before the key's
// character, "&&" for an "&" shown as such.
#pragma once

#include <windows.h>

#include <string>

// Whether the character (as WM_SYSCHAR brings it) is the text's access key.
bool IsAccessKey(const std::string& text, WPARAM character);
// The text as it is shown and read out: without the marks.
std::string WithoutAccessKeyMarks(const std::string& text);
