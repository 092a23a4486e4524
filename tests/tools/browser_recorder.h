// The browser recorder's protocol, shared by the recorder and the tests that read it.
// Each start appends one line "<show state> <parameters>" to the file named by the
// environment variable KV_BROWSER_RECORD, then signals the named event below.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace browser_recorder {

inline constexpr char kRecordVariable[] = "KV_BROWSER_RECORD";
inline constexpr char kRecordedEvent[] = "KvBrowserRecorderRecorded";

struct Start {
    int showState;
    std::string parameters;
};

inline std::vector<Start> ReadRecord(const std::string& path)
{
    std::vector<Start> starts;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        Start start{};
        fields >> start.showState;
        fields.get();
        std::getline(fields, start.parameters);
        starts.push_back(start);
    }
    return starts;
}

} // namespace browser_recorder
