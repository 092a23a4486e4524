; The Kelvara setup program, per user and without administrator rights: the program files
; under the user's %LOCALAPPDATA%\Programs, the version probe registered in the user's classes
; (HKCU\Software\Classes), and the data folder, shortcuts, server setting and Add/Remove
; entry of the running user. Deployment runs the same setup program as each user.
;
;   makensis -DARCH=x86|amd64 -DVERSION=a.b.c.d -DSTAGE=<folder with the binaries>
;            -DOUTFILE=<setup program> [-DSIGN=<signing command>] kelvara.nsi
;
; The shipped setup program is the x86 one; amd64 serves the tests on 64-bit-only machines.
; Command line: /S silent, /D=<folder> (last), /SERVER=<server> sets the service's server
; (ValidateServerOption says which forms it takes).
; Exit codes: 0 done; 1 cancelled; 2 stopped (Kelvara running, the control's registration
; failed); 87 a bad /SERVER=; 50 run as the system account, which no user logs on as.

!if "${ARCH}" == "amd64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x86 or amd64"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Kelvara"
!define PUBLISHER "Ostrand"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\Ostrand\LumetraAgent"
; The launcher keeps its session lists in its working folder: the shortcuts point it here.
!define DATA_FOLDER "$APPDATA\${PRODUCT}"
!define LAUNCHER "kelvlaunch.exe"
!define SHORTCUT "${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
; Drawn sharp at any display scale and with the current common controls, as the launcher is.
ManifestDPIAware true
XPStyle on
SetCompressor /SOLID lzma
; The same sources make the same setup program: the files keep no build time.
SetDateSave off
!ifdef SIGN
  ; The uninstaller is signed before it is packed, the setup program once it is written.
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

!define MUI_ICON "${__FILEDIR__}/../kelvlaunch/res/kelvlaunch.ico"
!define MUI_UNICON "${MUI_ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartLauncher
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} will be removed from the folder below. Your session lists \
  in ${DATA_FOLDER} and your account settings are your data: they stay."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var Server
; The folder of the install there was when this program started, if any.
Var Previous

; Asks, until the files in folder $R0 are free or the user gives up, that whoever holds them
; (a running launcher, or a browser with the control loaded) lets them go. Nothing has been
; changed when it gives up: silent runs end there with a non-zero exit code.
!macro FindHeldFile file
  ${If} $R1 == ""
  ${AndIf} ${FileExists} "$R0\${file}"
    ClearErrors
    FileOpen $R2 "$R0\${file}" a
    ${If} ${Errors}
      StrCpy $R1 "${file}"
    ${Else}
      FileClose $R2
    ${EndIf}
  ${EndIf}
!macroend

!macro EnsureProgramFilesFree un
Function ${un}EnsureProgramFilesFree
  ${Do}
    StrCpy $R1 ""
    !insertmacro FindHeldFile "${LAUNCHER}"
    !insertmacro FindHeldFile "StackTrace.dll"
    !insertmacro FindHeldFile "verprobe.dll"
    ${IfThen} $R1 == "" ${|} Return ${|}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running ($R0\$R1 is in use).$\r$\n$\r$\n\
      Exit it from its tray icon's menu (Exit), close any web browser showing a ${PRODUCT} page, \
      then click Retry." /SD IDCANCEL IDRETRY retry
    Abort "$R0\$R1 is in use: nothing was changed."
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro EnsureProgramFilesFree ""
!insertmacro EnsureProgramFilesFree "un."

; Deletes the program files of folder $R0, and the folder when nothing else is left in it.
!macro RemoveProgramFiles un
Function ${un}RemoveProgramFiles
  Delete "$R0\${LAUNCHER}"
  Delete "$R0\StackTrace.dll"
  Delete "$R0\verprobe.dll"
  Delete "$R0\uninstall.exe"
  RMDir "$R0"
FunctionEnd
!macroend
!insertmacro RemoveProgramFiles ""
!insertmacro RemoveProgramFiles "un."

; The control's own registration for this user: DllInstall(TRUE or FALSE, "user") of the
; verprobe.dll in folder; $0 is its HRESULT, 0 on success, "error" when it cannot be loaded.
!macro VerprobeDllInstall install folder
  System::Call '${folder}\verprobe.dll::DllInstall(i ${install}, w "user") i .r0 ?u'
!macroend

; What the setup program and the uninstaller both check first.
!macro AccountChecks
  SetShellVarContext current
  ; Deployment tools run as the system account by default: that install would reach no user.
  ${If} $PROFILE == "$WINDIR\System32\config\systemprofile"
    MessageBox MB_ICONSTOP "${PRODUCT} is installed per user: run this program as the user." /SD IDOK
    SetErrorLevel 50 ; ERROR_NOT_SUPPORTED
    Quit
  ${EndIf}
  ReadRegStr $Previous HKCU "${UNINSTALL_KEY}" "InstallLocation"
!macroend

; The one rule for /SERVER=, the launcher's own: a host name or dotted address (plain HTTP
; on port 80, as servers have always been given), https://host or https://host:port (TLS),
; or http://host:port. The scheme in any letter case; a host of letters, digits, "." and
; "-"; a port of 1 to 65535 written without leading zeros; at most 127 characters in all,
; since the value goes unescaped into the launcher's requests. Anything else ends the
; setup program, before it changes anything, with 87. Uses $1-$3 and $R0-$R2.
Function ValidateServerOption
  StrCpy $R0 $Server   ; host[:port], once the scheme is off
  StrCpy $R1 ""        ; the scheme
  StrCpy $1 $R0 8
  StrCpy $2 $R0 7
  ${If} $1 == "https://"   ; LogicLib's == ignores letter case
    StrCpy $R1 "https"
    StrCpy $R0 $R0 "" 8
  ${ElseIf} $2 == "http://"
    StrCpy $R1 "http"
    StrCpy $R0 $R0 "" 7
  ${EndIf}

  ; Split at the first ":" into the host ($R0) and the port's digits ($R2, "" for none).
  StrLen $3 $R0
  StrCpy $2 0
  ${DoWhile} $2 < $3
    StrCpy $1 $R0 1 $2
    ${IfThen} $1 == ":" ${|} ${ExitDo} ${|}
    IntOp $2 $2 + 1
  ${Loop}
  StrCpy $R2 $R0 "" $2
  StrCpy $R0 $R0 $2
  StrCpy $1 $R2 1
  StrCpy $R2 $R2 "" 1

  ${StrFilter} $R0 "12" ".-" "" $3
  ${If} $R0 == ""
  ${OrIf} $3 != $R0
    Goto invalid
  ${EndIf}
  ${If} $1 == ":"
    ${IfThen} $R1 == "" ${|} Goto invalid ${|}
    ; Digits only: written back as a number, the port reads the same.
    IntOp $3 $R2 + 0
    StrLen $2 $R2
    StrCpy $1 $R2 1
    ${If} $3 != $R2
    ${OrIf} $2 > 5
    ${OrIf} $1 == "0"
    ${OrIf} $3 < 1
    ${OrIf} $3 > 65535
      Goto invalid
    ${EndIf}
  ${ElseIf} $R1 == "http"
    Goto invalid   ; plain HTTP elsewhere than port 80 names its port; on 80 it is the bare name
  ${EndIf}
  StrLen $2 $Server
  ${IfThen} $2 <= 127 ${|} Return ${|}

  invalid:
  MessageBox MB_ICONSTOP "/SERVER= takes a host name or dotted address, https://host, https://host:port or http://host:port, not $\"$Server$\"." /SD IDOK
  SetErrorLevel 87 ; ERROR_INVALID_PARAMETER
  Quit
FunctionEnd

Function .onInit
  !insertmacro AccountChecks

  ; Not GetOptions: it would end the value at the first "/", as in "https://".
  ${GetParameters} $0
  ClearErrors
  ${WordFind} $0 "/SERVER=" "E+1}" $1
  ${IfNot} ${Errors}
    ${WordFind} $1 " /" "+1{" $Server
    Call ValidateServerOption
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  ; An install in another folder moves here: its running launcher holds it as much as ours.
  StrCpy $R0 "$INSTDIR"
  Call EnsureProgramFilesFree
  ${If} $Previous != ""
  ${AndIf} $Previous != $INSTDIR
    StrCpy $R0 "$Previous"
    Call EnsureProgramFilesFree
  ${EndIf}

  SetOutPath "$INSTDIR"
  File "${STAGE}/${LAUNCHER}"
  File "${STAGE}/StackTrace.dll"
  File "${STAGE}/verprobe.dll"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  !insertmacro VerprobeDllInstall 1 "$INSTDIR"
  ${If} $0 != 0
    ; A first install takes back what it wrote; a moved one leaves the earlier install
    ; registered; an upgrade in place keeps its registration, entry and uninstaller.
    StrCpy $1 $0
    SetOutPath "$TEMP"
    StrCpy $R0 "$INSTDIR"
    ${If} $Previous == ""
      !insertmacro VerprobeDllInstall 0 "$INSTDIR"
      Call RemoveProgramFiles
    ${ElseIf} $Previous != $INSTDIR
      !insertmacro VerprobeDllInstall 1 "$Previous"
      Call RemoveProgramFiles
    ${EndIf}
    Abort "verprobe.dll could not be registered (error $1)."
  ${EndIf}
  ${If} $Previous != ""
  ${AndIf} $Previous != $INSTDIR
    StrCpy $R0 "$Previous"
    Call RemoveProgramFiles
  ${EndIf}

  CreateDirectory "${DATA_FOLDER}"
  SetOutPath "${DATA_FOLDER}"
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${LAUNCHER}"
  CreateShortCut "$SMSTARTUP\${SHORTCUT}" "$INSTDIR\${LAUNCHER}"
  ${If} $Server != ""
    WriteRegStr HKCU "${SETTINGS_KEY}" "server" "$Server"
  ${EndIf}

  ; Run exactly as written, the uninstall commands work in place (_?=, unquoted and last) and
  ; so end with the uninstall's own exit code.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${LAUNCHER},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\" _?=$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S _?=$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function StartLauncher
  SetOutPath "${DATA_FOLDER}"
  Exec "$\"$INSTDIR\${LAUNCHER}$\""
FunctionEnd

Function un.onInit
  !insertmacro AccountChecks
  ; The uninstaller's copy that removes the folder once the uninstaller run in place has ended
  ; (a running program cannot be deleted): /REMOVEFOLDER=<that uninstaller's process id>.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEFOLDER=" $1
  ${IfNot} ${Errors}
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i $1) p .r2' ; SYNCHRONIZE
    System::Call 'kernel32::WaitForSingleObject(p r2, i 60000)'
    System::Call 'kernel32::CloseHandle(p r2)'
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  StrCpy $R0 "$INSTDIR"
  Call un.EnsureProgramFilesFree

  ; An uninstaller left in a folder that is no longer the install takes only its own files:
  ; the registration, shortcuts and entry belong to the install elsewhere.
  ${If} $Previous == ""
  ${OrIf} $Previous == $INSTDIR
    ${If} ${FileExists} "$INSTDIR\verprobe.dll"
      !insertmacro VerprobeDllInstall 0 "$INSTDIR"
      ${If} $0 != 0
        Abort "verprobe.dll could not be unregistered (error $0): nothing was removed. \
          Run the setup program again to repair ${PRODUCT}, then remove it."
      ${EndIf}
    ${EndIf}
    Delete "$SMPROGRAMS\${SHORTCUT}"
    Delete "$SMSTARTUP\${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}

  SetOutPath "$TEMP"
  StrCpy $R0 "$INSTDIR"
  Call un.RemoveProgramFiles
  ; Run in place, this program is still there: a copy removes it once it has ended.
  ${If} ${FileExists} "$INSTDIR\uninstall.exe"
    GetTempFileName $1
    CopyFiles /SILENT "$INSTDIR\uninstall.exe" "$1"
    System::Call 'kernel32::GetCurrentProcessId() i .r2'
    Exec '"$1" /S /REMOVEFOLDER=$2 _?=$INSTDIR'
  ${EndIf}
SectionEnd
