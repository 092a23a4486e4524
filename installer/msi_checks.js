// The Kelvara MSI's check before it changes anything (an immediate custom action): a SERVER
// that the setup program's /SERVER= would refuse, or program files that a running launcher or
// a browser holds, stop the install or removal with 1603 and a line in the log saying why.
// Refusing is what the setup program does; replacing a held file would need a restart.

// The setup program's rule (ValidateServerOption in kelvara.nsi): a host name or dotted
// address, https://host or https://host:port, http://host:port; the scheme in any letter
// case, a port of 1 to 65535 without leading zeros, at most 127 characters in all.
var kServer = /^(?:[A-Za-z0-9.-]+|https:\/\/[A-Za-z0-9.-]+(?::([1-9][0-9]{0,4}))?|http:\/\/[A-Za-z0-9.-]+:([1-9][0-9]{0,4}))$/i;
var kProgramFiles = ["kelvlaunch.exe", "StackTrace.dll", "verprobe.dll"];
var kSuccess = 1;                  // IDOK
var kFailure = 3;                  // IDABORT
var kErrorMessage = 0x01000000;    // INSTALLMESSAGE_ERROR: a box with a user interface, logged always
var kForAppending = 8;

function Refuse(text) {
    var record = Session.Installer.CreateRecord(0);
    record.StringData(0) = text;
    Session.Message(kErrorMessage, record);
    return kFailure;
}

// The first program file in folder that another process holds, or "".
function HeldProgramFile(folder) {
    var files = new ActiveXObject("Scripting.FileSystemObject");
    for (var i = 0; i < kProgramFiles.length; ++i) {
        var path = folder + kProgramFiles[i];
        if (!files.FileExists(path))
            continue;
        try {
            files.OpenTextFile(path, kForAppending).Close();
        } catch (e) {
            return path;
        }
    }
    return "";
}

function IsServer(server) {
    var parts = kServer.exec(server);
    var port = parts ? parts[1] || parts[2] : "";
    return parts != null && server.length <= 127 && (!port || Number(port) <= 65535);
}

function CheckBeforeChanges() {
    var server = Session.Property("SERVER");
    if (server != "" && !IsServer(server))
        return Refuse("SERVER takes a host name or dotted address, https://host, https://host:port or "
                      + "http://host:port, not \"" + server + "\": nothing was changed.");
    var held = HeldProgramFile(Session.Property("INSTALLFOLDER"));
    if (held != "")
        return Refuse("Kelvara is running (" + held + " is in use): nothing was changed. Exit it from its "
                      + "tray icon's menu (Exit), close any web browser showing a Kelvara page, then try again.");
    return kSuccess;
}
