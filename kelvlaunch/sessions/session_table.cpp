#include "sessions/session_table.h"

std::size_t SessionTable::Count() const
{
    std::size_t n = 0;
    while (n < kSessionSlots && !m_entries[n].m_strDescription.empty())
        ++n;
    return n;
}
