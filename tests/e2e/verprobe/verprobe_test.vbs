' The control read from VBScript as a web page's script reads it.
Option Explicit
Dim failures, product, probe, ignored
failures = 0
product = "7.1 build 22 (beta)"

Sub Check(what, actual, expected)
    If actual = expected Then
        WScript.Echo "ok   " & what
    Else
        failures = failures + 1
        WScript.Echo "FAIL " & what & ": got " & actual & ", expected " & expected
    End If
End Sub

Function ErrorText()
    If Err.Number = 0 Then
        ErrorText = "no error"
    Else
        ErrorText = "0x" & Hex(Err.Number)
    End If
    Err.Clear
End Function

Set probe = CreateObject("Ostrand.Verprobe")
Check "Version", probe.Version, product
Check "version", probe.version, product
Check "get_version", probe.get_version, product
Check "SpecificVersion", probe.SpecificVersion("VerprobeTest.SecondTranslation"), "second"
Check "specificVERSION", probe.specificVERSION("VerprobeTest.SecondTranslation"), "second"
Check "Get_SpecificVersion", probe.Get_SpecificVersion("VerprobeTest.SecondTranslation"), "second"
Check "a number is looked up as its text", probe.SpecificVersion(4242), product
Check "no version information", probe.SpecificVersion("VerprobeTest.NoVersion"), ""

On Error Resume Next
ignored = probe.SpecificVersion()
Check "no argument", ErrorText(), "0x1C2"
ignored = probe.SpecificVersion("VerprobeTest.NoVersion", 1)
Check "two arguments", ErrorText(), "0x1C2"
' VBScript reports the invalid-class-string failure as its "can't create object".
ignored = probe.SpecificVersion("VerprobeTest.NotRegistered")
Check "unregistered ProgID asked", ErrorText(), "0x1AD"
Set ignored = CreateObject("VerprobeTest.NotRegistered")
Check "unregistered ProgID created", ErrorText(), "0x1AD"
On Error GoTo 0

WScript.Echo "DONE"
WScript.Quit failures
