// The base of everything that has a message map and takes part in command routing:
// windows and the application object.
#pragma once

#include "winfx/message_map.h"

// Filled in instead of running the handler when a caller only asks whether one exists.
struct CommandHandlerQuery {
    CCmdTarget* target = nullptr;
};

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Offers a command (id and notification code; extra is data travelling with it) to
    // this target's map. With a handler query the handler is only looked up, not run.
    // Returns whether a handler was found.
    virtual bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery);

protected:
    static const MessageMap messageMap;
    virtual const MessageMap& GetMessageMap() const;
};
