// Installs the browser recorder as the prefix's iexplore.exe (where the shell's lookup
// finds it first, and where the browser normally lives), then proves that starting
// "iexplore.exe" through the shell really reaches it.
#include "browser_recording.h"

#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

bool Install(const std::string& recorder, const std::string& directory)
{
    ::CreateDirectoryA(directory.c_str(), nullptr);
    const std::string target = directory + "\\iexplore.exe";
    if (::CopyFileA(recorder.c_str(), target.c_str(), FALSE))
        return true;
    std::fprintf(stderr, "cannot copy the recorder to %s (error %lu)\n", target.c_str(), ::GetLastError());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: install_browser_recorder <recorder.exe>\n");
        return 2;
    }
    char system[MAX_PATH] = {};
    char programFiles[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    ::SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
    if (!Install(argv[1], system) || !Install(argv[1], std::string(programFiles) + "\\Internet Explorer"))
        return 1;

    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    BrowserRecording recording(std::string(temp) + "browser_recorder_probe.txt");
    ::ShellExecuteA(nullptr, "open", "iexplore.exe", "recorder-probe", nullptr, SW_SHOWMAXIMIZED);
    const auto starts = recording.WaitForStart() ? recording.Starts() : std::vector<browser_recorder::Start>();
    if (starts.size() != 1 || starts[0].parameters != "recorder-probe" || starts[0].showState != SW_SHOWMAXIMIZED) {
        std::fprintf(stderr, "ShellExecute of iexplore.exe does not reach the recorder\n");
        return 1;
    }
    std::printf("browser recorder installed in %s and %s\\Internet Explorer\n", system, programFiles);
    return 0;
}
