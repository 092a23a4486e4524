// Test side of the fake service: scripts its replies and reads what it was sent.
// The fixture (kv_use_fake_service) passes the address and control directory in
// the environment.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

class FakeServiceControl {
public:
    // The TLS listeners of a fake service started with TLS, by the certificate each presents.
    enum TlsPort : unsigned short {
        kTrusted = 443,
        kTrustedOtherPort = 8443,
        kUntrustedCa = 4431,
        kUntrustedCaCertificateAlone = 4432,
        kWrongName = 4433,
        kExpired = 4434,
        kSilentHandshake = 4435,
    };

    FakeServiceControl()
        : m_address(Variable("KV_FAKE_SERVICE_ADDRESS")), m_directory(Variable("KV_FAKE_SERVICE_DIR"))
    {
    }

    const std::string& Address() const { return m_address; }

    // Replaces the script (JSON: {"replies": [...]}) and forgets the requests seen so far.
    void Script(const std::string& json) const
    {
        const std::string script = m_directory + "\\script.json";
        const std::string fresh = script + ".new";
        std::ofstream(fresh, std::ios::binary) << json;
        ::MoveFileExA(fresh.c_str(), script.c_str(), MOVEFILE_REPLACE_EXISTING);
        ::DeleteFileA(RequestLog().c_str());
        ::DeleteFileA(ConnectionLog().c_str());
    }

    // Every request's line and header lines, "\n"-separated, each request ending in an empty line.
    std::string Requests() const { return FileText(RequestLog()); }

    // The port of every connection accepted since the script was set, one a line.
    std::string Connections() const { return FileText(ConnectionLog()); }

private:
    static std::string FileText(const std::string& path)
    {
        std::ifstream log(path, std::ios::binary);
        std::ostringstream text;
        text << log.rdbuf();
        return text.str();
    }

    static std::string Variable(const char* name)
    {
        const char* value = std::getenv(name);
        return value ? value : "";
    }

    std::string RequestLog() const { return m_directory + "\\requests.log"; }
    std::string ConnectionLog() const { return m_directory + "\\connections.log"; }

    std::string m_address;
    std::string m_directory;
};
