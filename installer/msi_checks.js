// The Kelvara MSI's check before it changes anything (an immediate custom action): a SERVER
// that the setup program's /SERVER= would refuse, or program files that a running launcher or
// a browser holds, stop the install or removal with 1603 and a line in the log saying why.
// Refusing is what the setup program does; replacing a held file would need a restart.

// A host name or dotted address: it goes unescaped into the launcher's requests, which read
// at most 127 characters.
var kServer = /^[A-Za-z0-9.-]{1,127}$/;
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

function CheckBeforeChanges() {
    var server = Session.Property("SERVER");
    if (server != "" && !kServer.test(server))
        return Refuse("SERVER takes a host name or dotted address, not \"" + server + "\": nothing was changed.");
    var held = HeldProgramFile(Session.Property("INSTALLFOLDER"));
    if (held != "")
        return Refuse("Kelvara is running (" + held + " is in use): nothing was changed. Exit it from its "
                      + "tray icon's menu (Exit), close any web browser showing a Kelvara page, then try again.");
    return kSuccess;
}
