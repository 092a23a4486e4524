// Text in an ANSI code page, as bytes: the one rule for cutting it and for trimming it.
// Platform-free; the caller says which bytes lead a double-byte character.
#pragma once

#include <cstddef>
#include <string_view>

// True for the bytes that start a double-byte character in the text's code page
// (the product passes the ANSI code page's lead-byte test).
using LeadBytePredicate = bool (*)(unsigned char byte);

// The longest start of text within maxBytes made of whole characters: a double-byte
// character that would not fit, and a lead byte whose trail byte is missing, are left out.
std::string_view CutToWholeCharacters(std::string_view text, std::size_t maxBytes,
                                      LeadBytePredicate isLeadByte);

// Without leading and trailing white space (space, TAB, LF, VT, FF, CR). No lead or trail
// byte of a double-byte code page is one of these, so characters stay whole.
std::string_view TrimWhiteSpace(std::string_view text);
