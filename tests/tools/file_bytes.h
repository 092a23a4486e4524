// Whole files as bytes, for tests that compare what a program left on disk.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The file's content, or the empty string when it cannot be read.
inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
