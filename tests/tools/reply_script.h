// Fake-service scripts for tests whose replies carry arbitrary bytes.
#pragma once

#include <cstdio>
#include <string>

// A script of one reply with this body; every byte outside printable ASCII travels as
// \u00XX, which the fake service sends as that one byte.
inline std::string JsonBody(const std::string& body)
{
    std::string json;
    for (unsigned char c : body) {
        if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += char(c);
        }
    }
    return R"({"replies": [{"body": ")" + json + R"("}]})";
}
