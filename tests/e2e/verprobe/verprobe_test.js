// The control read from JScript as a web page's script reads it.
var failures = 0;
function check(what, actual, expected) {
    if (actual === expected) {
        WScript.Echo("ok   " + what);
    } else {
        failures++;
        WScript.Echo("FAIL " + what + ": got " + actual + " (" + typeof actual + "), expected " + expected);
    }
}
function errorOf(call) {
    try {
        call();
        return "no error";
    } catch (e) {
        return "0x" + (e.number >>> 0).toString(16);
    }
}

var product = "7.1 build 22 (beta)";
var probe = new ActiveXObject("Ostrand.Verprobe");
check("Version", probe.Version, product);
check("version", probe.version, product);
check("VERSION", probe.VERSION, product);
check("get_Version", probe.get_Version, product);
check("get_Version()", probe.get_Version(), product);
check("SpecificVersion", probe.SpecificVersion("VerprobeTest.SecondTranslation"), "second");
check("specificversion", probe.specificversion("VerprobeTest.SecondTranslation"), "second");
check("GET_SPECIFICVERSION", probe.GET_SPECIFICVERSION("VerprobeTest.SecondTranslation"), "second");
check("get_SpecificVersion", probe.get_SpecificVersion("VerprobeTest.SecondTranslation"), "second");
check("a number is looked up as its text", probe.SpecificVersion(4242), product);
check("no version information", probe.SpecificVersion("VerprobeTest.NoVersion"), "");
check("the versioned ProgID", new ActiveXObject("Ostrand.Verprobe.2").Version, product);

check("no argument", errorOf(function () { probe.SpecificVersion(); }), "0x8002000e");
check("two arguments", errorOf(function () { probe.SpecificVersion("VerprobeTest.NoVersion", 1); }), "0x8002000e");
check("an argument to Version", errorOf(function () { probe.get_Version(1); }), "0x8002000e");
check("unregistered ProgID asked", errorOf(function () { probe.SpecificVersion("VerprobeTest.NotRegistered"); }), "0x800401f3");
check("unregistered ProgID created", errorOf(function () { new ActiveXObject("VerprobeTest.NotRegistered"); }), "0x800a01ad");

WScript.Echo("DONE");
WScript.Quit(failures);
