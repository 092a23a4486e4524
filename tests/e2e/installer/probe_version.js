// A web page's script asking the installed control for its own version.
// Usage: cscript //nologo probe_version.js <expected version>
// Exit code: 0 the expected version, 1 another, 2 the control cannot be created.
var probe;
try {
    probe = new ActiveXObject("Ostrand.Verprobe");
} catch (e) {
    WScript.Echo("Ostrand.Verprobe cannot be created: 0x" + (e.number >>> 0).toString(16));
    WScript.Quit(2);
}
var version = probe.SpecificVersion("Ostrand.Verprobe");
WScript.Echo("Ostrand.Verprobe version " + version);
WScript.Quit(version === WScript.Arguments(0) ? 0 : 1);
