// Per-call cost from JScript: SpecificVersion against FileSystemObject.GetFileVersion
// on the same file. Arguments: ProgID, the file's path, calls per round.
// Prints: <SpecificVersion microseconds per call> <GetFileVersion microseconds per call>
var progId = WScript.Arguments(0), path = WScript.Arguments(1), calls = Number(WScript.Arguments(2));
var probe = new ActiveXObject("Ostrand.Verprobe");
var fso = new ActiveXObject("Scripting.FileSystemObject");

function microsecondsPerCall(call) {
    var start = new Date().getTime();
    for (var i = 0; i < calls; i++)
        call();
    return 1000 * (new Date().getTime() - start) / calls;
}

var viaProbe = 1e300, viaFso = 1e300;
for (var round = 0; round < 5; round++) {
    viaProbe = Math.min(viaProbe, microsecondsPerCall(function () { probe.SpecificVersion(progId); }));
    viaFso = Math.min(viaFso, microsecondsPerCall(function () { fso.GetFileVersion(path); }));
}
WScript.Echo(viaProbe.toFixed(2) + " " + viaFso.toFixed(2));
