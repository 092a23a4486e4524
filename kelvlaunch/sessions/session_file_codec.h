// The bytes of a session list file: the reader's parsing rules and the writer's format.
// Platform-free; the caller says which bytes lead a double-byte character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sessions/session_table.h"

// True for the bytes that start a double-byte character in the text's code page
// (the product passes the ANSI code page's lead-byte test).
using LeadBytePredicate = bool (*)(unsigned char byte);

// Reads the entries of a list file's bytes. No input makes it fail: lines it does not
// understand give no entry. Keeps at most kMaxSessions entries; the table always ends
// in an end marker.
SessionTablePtr ParseSessionFile(std::string_view bytes, LeadBytePredicate isLeadByte);

// The bytes of a list file holding the entries' Descriptions and Access Codes, in order.
std::string FormatSessionFile(const std::vector<SessionEntry>& entries);
