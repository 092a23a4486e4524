; The Kelvara setup program. Program files and the version probe's registration are for the
; whole machine; the data folder, the shortcuts and the server setting for the installing user.
;
;   makensis -DARCH=x86|amd64 -DVERSION=a.b.c.d -DSTAGE=<folder with the binaries>
;            -DOUTFILE=<setup program> kelvara.nsi
;
; The shipped setup program is the x86 one; amd64 serves the tests on 64-bit-only machines.
; Command line: /S silent, /D=<folder> (last), /SERVER=<host> sets the service's server.

!if "${ARCH}" == "amd64"
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
  !define REG_VIEW 64
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
  !define REG_VIEW 32
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
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
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

; Asks, until the files are free or the user gives up, that whoever holds the program files
; (a running launcher, or a browser with the control loaded) lets them go. Nothing has been
; changed when it gives up: silent runs end there with a non-zero exit code.
!macro FindHeldFile file
  ${If} $R1 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${file}"
    ClearErrors
    FileOpen $R2 "$INSTDIR\${file}" a
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
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running ($INSTDIR\$R1 is in use).$\r$\n$\r$\n\
      Exit it from its tray icon's menu (Exit), close any web browser showing a ${PRODUCT} page, \
      then click Retry." /SD IDCANCEL IDRETRY retry
    Abort "$INSTDIR\$R1 is in use: nothing was changed."
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro EnsureProgramFilesFree ""
!insertmacro EnsureProgramFilesFree "un."

Function .onInit
  SetRegView ${REG_VIEW}
  SetShellVarContext current
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "${PRODUCT} is installed for all users: run the setup program as an administrator." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}

  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SERVER=" $Server
  ${IfNot} ${Errors}
    ; Goes unescaped into the launcher's requests, which read at most 127 characters.
    ${StrFilter} $Server "12" ".-" "" $1
    StrLen $2 $Server
    ${If} $1 != $Server
    ${OrIf} $2 == 0
    ${OrIf} $2 > 127
      MessageBox MB_ICONSTOP "/SERVER= takes a host name or dotted address, not $\"$Server$\"." /SD IDOK
      SetErrorLevel 87 ; ERROR_INVALID_PARAMETER
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCT}"
  Call EnsureProgramFilesFree

  SetOutPath "$INSTDIR"
  File "${STAGE}/${LAUNCHER}"
  File "${STAGE}/StackTrace.dll"
  File "${STAGE}/verprobe.dll"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ClearErrors
  RegDLL "$INSTDIR\verprobe.dll"
  ${If} ${Errors}
    Abort "verprobe.dll could not be registered."
  ${EndIf}

  CreateDirectory "${DATA_FOLDER}"
  SetOutPath "${DATA_FOLDER}"
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${LAUNCHER}"
  CreateShortCut "$SMSTARTUP\${SHORTCUT}" "$INSTDIR\${LAUNCHER}"
  ${If} $Server != ""
    WriteRegStr HKCU "${SETTINGS_KEY}" "server" "$Server"
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${LAUNCHER},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function StartLauncher
  SetOutPath "${DATA_FOLDER}"
  Exec "$\"$INSTDIR\${LAUNCHER}$\""
FunctionEnd

Function un.onInit
  SetRegView ${REG_VIEW}
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  Call un.EnsureProgramFilesFree

  ${If} ${FileExists} "$INSTDIR\verprobe.dll"
    ClearErrors
    UnRegDLL "$INSTDIR\verprobe.dll"
    ${If} ${Errors}
      DetailPrint "verprobe.dll could not be unregistered."
      SetErrorLevel 2
    ${EndIf}
  ${EndIf}
  Delete "$INSTDIR\${LAUNCHER}"
  Delete "$INSTDIR\StackTrace.dll"
  Delete "$INSTDIR\verprobe.dll"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: never anything the user put there.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${SHORTCUT}"
  Delete "$SMSTARTUP\${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
