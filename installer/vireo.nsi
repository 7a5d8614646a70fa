; The Vireo Gaming Mouse installer: the programs, the libraries and the skin in one program
; folder, the configurator in the Start menu, the agent started now and at every log-on, and an
; uninstaller registered in Add/Remove Programs that leaves the user's profiles and macros in
; Documents alone. /S installs or uninstalls silently; /AllUsers (the default where allowed) or
; /CurrentUser choose where.
;
; Made by installer/CMakeLists.txt, which defines PRODUCT, PUBLISHER, COPYRIGHT, VERSION,
; FILE_VERSION, ICON, WIZARD (the welcome and finish pages' picture), FILES (the generated list
; of files) and OUTFILE.

Unicode true
; The programs are 64-bit, and so is the installer: it sees the 64-bit program and registry
; folders as they are.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include "${FILES}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

; How the programs find each other (contract/program_names.h, contract/window_messages.h): the
; agent's hidden window and its tray menu's Exit command, the configurator's main dialog and the
; beacon's window.
!define AGENT_WINDOW "Vireo_GamingMouse_HID"
!define AGENT_EXIT_COMMAND 6006
!define AGENT_PROGRAM "hid.exe"
!define CONFIGURATOR_WINDOW "Vireo GAMING MOUSE"
!define CONFIGURATOR_CLASS "#32770"
!define BEACON_WINDOW "VireoMouseBeacon"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

; Per machine by default, per user when chosen (or when the user may not install for all); an
; upgrade finds the mode and folder of what it replaces through the uninstall registration.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}: the settings program for your \
  Vireo mouse and the small agent that keeps the mouse in step with it from the notification \
  area.$\r$\n$\r$\nIf ${PRODUCT} is running, it is closed first; your profiles and macros \
  stay as they are.$\r$\n$\r$\n$_CLICK"
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed and running: its icon is in the \
  notification area (click it to open the settings), and it starts whenever you log \
  on.$\r$\n$\r$\nYour profiles and macros are kept in Documents\${PRODUCT}."
!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} will be closed and removed from the following \
  folder. Your profiles and macros in Documents\${PRODUCT} stay. Click Uninstall to start."
!insertmacro MUI_PAGE_WELCOME
; An upgrade goes where the installation it replaces is.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenUpgrading
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipWhenUpgrading
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"

; Asks the program that owns the window to close with the message and waits up to 15 s for its
; process to end. Uses $0-$3.
!macro VIREO_CLOSE_WINDOW CLASS TITLE MESSAGE WPARAM
  FindWindow $0 "${CLASS}" "${TITLE}"
  ${If} $0 <> 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    System::Call 'user32::PostMessageW(p r0, i ${MESSAGE}, p ${WPARAM}, p 0)'
    ${If} $2 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r3'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      ; Not allowed to wait on the process: wait for its window.
      StrCpy $3 0
      ${DoWhile} $3 < 150
        System::Call 'user32::IsWindow(p r0) i .r2'
        ${IfThen} $2 = 0 ${|} ${Break} ${|}
        Sleep 100
        IntOp $3 $3 + 1
      ${Loop}
    ${EndIf}
  ${EndIf}
!macroend

; Closes the configurator, the agent (as its tray menu's Exit does) and the beacon before their
; files are replaced or removed. When one of them stays, the user is asked to close it; a silent
; run stops there, with the installed files untouched.
!macro VIREO_CLOSE_PROGRAMS_FUNCTION UN
Function ${UN}ClosePrograms
  retry:
  !insertmacro VIREO_CLOSE_WINDOW "${CONFIGURATOR_CLASS}" "${CONFIGURATOR_WINDOW}" ${WM_CLOSE} 0
  !insertmacro VIREO_CLOSE_WINDOW "" "${AGENT_WINDOW}" ${WM_COMMAND} ${AGENT_EXIT_COMMAND}
  !insertmacro VIREO_CLOSE_WINDOW "" "${BEACON_WINDOW}" ${WM_CLOSE} 0
  StrCpy $1 ""
  FindWindow $0 "${CONFIGURATOR_CLASS}" "${CONFIGURATOR_WINDOW}"
  ${If} $0 <> 0
    StrCpy $1 "the settings window"
  ${EndIf}
  FindWindow $0 "" "${AGENT_WINDOW}"
  ${If} $0 <> 0
    StrCpy $1 "the agent"
  ${EndIf}
  ; A program still running without its window holds its file.
  ${If} $1 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${AGENT_PROGRAM}"
    ClearErrors
    FileOpen $0 "$INSTDIR\${AGENT_PROGRAM}" a
    ${If} ${Errors}
      StrCpy $1 "the agent"
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
  ${If} $1 != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} could not close $1. Close it \
      (or end it in the Task Manager) and choose Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro VIREO_CLOSE_PROGRAMS_FUNCTION ""
!insertmacro VIREO_CLOSE_PROGRAMS_FUNCTION "un."

; Starts the agent as the user. Started by an elevated installer it would run elevated, and the
; settings window, run by the user, could not send it anything (Windows blocks messages to a
; more privileged window); so then the shell starts it, as it would at log-on.
Function StartAgent
  StrCpy $2 0
  System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r0) i .r1'
  ${If} $1 <> 0
    ; TokenElevationType: 2 is the full token of an elevated administrator.
    System::Call 'advapi32::GetTokenInformation(p r0, i 18, *i .r2, i 4, *i .r3) i .r1'
    System::Call 'kernel32::CloseHandle(p r0)'
  ${EndIf}
  ${If} $2 = 2
    Exec '"$WINDIR\explorer.exe" "$INSTDIR\${AGENT_PROGRAM}"'
  ${Else}
    Exec '"$INSTDIR\${AGENT_PROGRAM}"'
  ${EndIf}
FunctionEnd

Var Upgrading

Function .onInit
  ; Sets the mode and $INSTDIR of an earlier installation, when there is one.
  !insertmacro MULTIUSER_INIT
  StrCpy $Upgrading 0
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\${AGENT_PROGRAM}"
    StrCpy $Upgrading 1
  ${EndIf}
FunctionEnd

Function SkipWhenUpgrading
  ${IfThen} $Upgrading = 1 ${|} Abort ${|}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "-${PRODUCT}"
  Call ClosePrograms

  SetOutPath "$INSTDIR"
  SetOverwrite on
  ; No skin file of an older version stays behind.
  RMDir /r "$INSTDIR\images\0409"
  ClearErrors
  !insertmacro VIREO_INSTALL_FILES
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} could not write its files into $INSTDIR." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}

  CreateShortcut "${SHORTCUT}" "$INSTDIR\${VIREO_CONFIGURATOR}" "" \
    "$INSTDIR\${VIREO_CONFIGURATOR}" 0 SW_SHOWNORMAL "" "Settings of your Vireo mouse"

  ; Add/Remove Programs, in the install mode's part of the registry.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${AGENT_PROGRAM},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
    '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The agent at every log-on of this user, and now.
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${AGENT_PROGRAM}"'
  Call StartAgent
SectionEnd

Section "Uninstall"
  Call un.ClosePrograms

  !insertmacro VIREO_DELETE_FILES
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: without a documents folder the programs keep their data here.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"

  ; The log-on entry only when it is this installation's.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == '"$INSTDIR\${AGENT_PROGRAM}"'
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
