// Reading the service's replies: XML-like elements found by exact substring search.
// No attributes, entities or nesting rules: only the first opening and the first
// closing tag of an element count, and the value is trimmed of white space.
#pragma once

#include <string>

// The trimmed text of the first "<name>...</name>", or "" when the tags are missing
// or out of order.
std::string ExtractElement(const std::string& name, const std::string& text);

// As ExtractElement; then text becomes what follows the first closing tag (empty when
// there is none), so repeated calls walk a sequence of elements.
std::string ExtractNextElement(const std::string& name, std::string& text);
