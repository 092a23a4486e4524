// Reading the service's replies: XML-like elements found by exact substring search.
// No attributes, entities or nesting rules: only the first opening and the first
// closing tag of an element count, and the value is trimmed of white space.
#pragma once

#include <string>
#include <string_view>

// The trimmed text of the first "<name>...</name>", or "" when the tags are missing
// or out of order.
std::string ExtractElement(std::string_view name, std::string_view text);

// As ExtractElement; then text becomes what follows the first closing tag (empty when
// there is none), so repeated calls walk a sequence of elements. The view only moves
// forward, so walking a reply of any number of records costs one pass over it.
std::string ExtractNextElement(std::string_view name, std::string_view& text);
