// Reading and atomically replacing list files.
#include "sessions/session_store.h"

#include <windows.h>

#include "ansi_code_page.h"
#include "scoped_win.h"
#include "sessions/session_file_codec.h"

namespace {

// Feeds the file to the reader until it ends or the reader has had enough, so that a
// huge file costs no more than its first lines.
bool ReadUntilDone(HANDLE file, SessionFileReader& reader)
{
    char chunk[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &read, nullptr))
            return false;
        if (read == 0 || !reader.Feed(std::string_view(chunk, read)))
            return true;
    }
}

bool WriteAll(HANDLE file, const std::string& bytes)
{
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD written = 0;
        if (!::WriteFile(file, next, static_cast<DWORD>(left), &written, nullptr) || written == 0)
            return false;
        next += written;
        left -= written;
    }
    return true;
}

// The directory part of a file name, with its separator; "." for a bare name.
std::string DirectoryOf(const std::string& fileName)
{
    const std::size_t separator = fileName.find_last_of("\\/:");
    return separator == std::string::npos ? std::string(".") : fileName.substr(0, separator + 1);
}

// A uniquely named file in a given directory, deleted again unless Keep() is called.
class TempFile {
public:
    explicit TempFile(const std::string& directory)
    {
        char path[MAX_PATH];
        if (::GetTempFileNameA(directory.c_str(), "kls", 0, path) != 0)
            m_path = path;
    }
    ~TempFile()
    {
        if (!m_path.empty())
            ::DeleteFileA(m_path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    bool Created() const { return !m_path.empty(); }
    const char* Path() const { return m_path.c_str(); }
    void Keep() { m_path.clear(); }

private:
    std::string m_path;
};

// Like an exclusive open of the list file, the replace fails while another process has
// the file open. On failure, error holds the reason (the temporary file's clean-up may
// change the thread's last error afterwards).
bool ReplaceFileContents(const char* fileName, const std::string& bytes, DWORD& error)
{
    const auto failed = [&error] {
        error = ::GetLastError();
        return false;
    };
    TempFile temp(DirectoryOf(fileName));
    if (!temp.Created())
        return failed();
    {
        scoped::File file(::CreateFileA(temp.Path(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !WriteAll(file.get(), bytes) || !::FlushFileBuffers(file.get()))
            return failed();
    }
    if (!::MoveFileExA(temp.Path(), fileName, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failed();
    temp.Keep();
    return true;
}

} // namespace

SessionTablePtr ReadSessionFile(const char* fileName)
{
    DWORD error = ERROR_SUCCESS;
    {
        // Another reader (a backup, a scan) does not stop us; a writer does.
        scoped::File file(::CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return nullptr;
        SessionFileReader reader(IsAnsiLeadByte);
        // A list cut short by a read error must not stand in for the one in memory: the
        // next save would write the loss back.
        if (ReadUntilDone(file.get(), reader))
            return reader.Finish();
        error = ::GetLastError();
    }
    ::SetLastError(error);
    return nullptr;
}

std::string StorableSessionText(std::string_view text)
{
    return StorableSessionText(text, IsAnsiLeadByte);
}

std::string KeepableSessionText(std::string_view text)
{
    return KeepableSessionText(text, IsAnsiLeadByte);
}

bool WriteSessionFile(const char* fileName, const std::vector<SessionEntry>& entries)
{
    DWORD error = ERROR_SUCCESS;
    if (ReplaceFileContents(fileName, FormatSessionFile(entries), error))
        return true;
    ::SetLastError(error);
    return false;
}
