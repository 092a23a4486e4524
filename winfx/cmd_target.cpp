#include "winfx/cmd_target.h"

const MessageMapEntry* MessageMap::FindMessage(UINT message) const
{
    for (const MessageMap* map = this; map; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            // A registered message is 0 until (or unless) its registration succeeded.
            const UINT entryMessage = entry.registered ? *entry.registered : entry.message;
            if (entryMessage == message && message != WM_COMMAND && message != 0)
                return &entry;
        }
    }
    return nullptr;
}

const MessageMapEntry* MessageMap::FindCommand(UINT id, UINT code) const
{
    for (const MessageMap* map = this; map; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.message == WM_COMMAND && entry.id == id && entry.code == code)
                return &entry;
        }
    }
    return nullptr;
}

const MessageMapEntry* MessageMap::FindReflected(UINT message, UINT code) const
{
    for (const MessageMap* map = this; map; map = map->base) {
        for (const MessageMapEntry& entry : map->entries) {
            if (entry.message == WM_REFLECT_BASE + message && (message != WM_COMMAND || entry.code == code))
                return &entry;
        }
    }
    return nullptr;
}

const MessageMap CCmdTarget::messageMap{nullptr, {}};

const MessageMap& CCmdTarget::GetMessageMap() const
{
    return messageMap;
}

bool CCmdTarget::OnCmdMsg(UINT id, int code, void* /*extra*/, CommandHandlerQuery* handlerQuery)
{
    const MessageMapEntry* entry = GetMessageMap().FindCommand(id, static_cast<UINT>(code));
    if (!entry)
        return false;
    if (handlerQuery)
        handlerQuery->target = this;
    else
        entry->call(*this, 0, 0);
    return true;
}
