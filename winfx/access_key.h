// Access keys as the system marks them in a control's text: "&" before the key's
// character, "&&" for an "&" shown as such.
#pragma once

#include <windows.h>

#include <string>

// The text's access key, upper-cased, or 0 when it has none.
char AccessKeyOf(const std::string& text);
bool IsAccessKey(const std::string& text, WPARAM character);
// The text as it is shown and read out: without the marks.
std::string WithoutAccessKeyMarks(const std::string& text);
