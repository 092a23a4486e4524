// The entry and table types shared by every user of the two session lists.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct SessionEntry {
    std::string m_strDescription;
    std::string m_strAccessCode;
    int32_t m_nCommandID = 0;   // written by the tray-menu builder only
};

inline bool operator==(const SessionEntry& a, const SessionEntry& b)
{
    return a.m_strDescription == b.m_strDescription && a.m_strAccessCode == b.m_strAccessCode &&
           a.m_nCommandID == b.m_nCommandID;
}

// A list is the run of slots before the first one with an empty Description (the end
// marker). One slot is always left for that marker, so a list holds at most 49 entries.
constexpr std::size_t kSessionSlots = 50;
constexpr std::size_t kMaxSessions = kSessionSlots - 1;

struct SessionTable {
    std::array<SessionEntry, kSessionSlots> m_entries;

    // Number of entries before the end marker.
    std::size_t Count() const;

    // The list's entries, up to the end marker: for (SessionEntry& e : table).
    SessionEntry* begin() { return m_entries.data(); }
    SessionEntry* end() { return m_entries.data() + Count(); }
    const SessionEntry* begin() const { return m_entries.data(); }
    const SessionEntry* end() const { return m_entries.data() + Count(); }
};

using SessionTablePtr = std::unique_ptr<SessionTable>;
