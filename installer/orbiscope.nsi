; Setup of Orbiscope Remote: the program, its help, the introduction and the code
; monitor, for all users, in Program Files under Orbiscope\Remote.
;
; Built by scripts/package with:
;   makensis -DARCH=x86|amd64 -DVERSION=x.y.z -DPROGRAM_DIR=... -DCHM=... -DHELP_FILES=...
;            -DOUTFILE=... -DICON=... installer/orbiscope.nsi
; One setup per kind of Windows: ARCH=amd64 (OrbiscopeRemote-Setup-x64.exe) installs the
; x86_64 program on 64-bit Windows and takes over an earlier installation of the 32-bit
; program there; ARCH=x86 (OrbiscopeRemote-Setup-x86.exe) installs the 32-bit program
; on 32-bit Windows and sends a 64-bit Windows to the other setup.
;
; Silent: /S takes the defaults. /NOAUTORUN, /NOINTRO, /NOWAIT and /NOSTART untick
; "Start Orbiscope Remote with Windows", "Show the introduction", "Wait for the receiver
; after setup" and "Start Orbiscope Remote now". /D=folder chooses the folder.
; Exit codes: 0 done, 1 cancelled or failed, 2 the folder cannot be written, 3 another
; setup runs, 4 the running copy did not close, 5 the setup is not the one for this
; kind of Windows.

Unicode true
!ifndef ARCH | VERSION | PROGRAM_DIR | CHM | HELP_FILES | OUTFILE | ICON
  !error "scripts/package passes ARCH, VERSION, PROGRAM_DIR, CHM, HELP_FILES, OUTFILE and ICON"
!endif
!if "${ARCH}" == "amd64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH is x86 or amd64"
!endif

!define PRODUCT "Orbiscope Remote"
!define PUBLISHER "Orbiscope"
!define MAIN_CLASS "Orbiscope.Remote"
!define MACHINE_KEY "Software\Orbiscope\Orbiscope Remote\Settings"
!define USER_KEY "Software\OrbiScope\Orbiscope Remote\Settings"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orbiscope Remote"
!define MENU_FOLDER "$SMPROGRAMS\Orbiscope Remote"
!define SETUP_MUTEX "Orbiscope.Remote.Setup"

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"
!include "x64.nsh"
!include "${HELP_FILES}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Both programs read LastInstallDir in the 32-bit registry view; an update goes where
; the last installation went (.onInit reads it for the 64-bit setup).
!if "${ARCH}" == "amd64"
  InstallDir "$PROGRAMFILES64\Orbiscope\Remote"
!else
  InstallDir "$PROGRAMFILES32\Orbiscope\Remote"
  InstallDirRegKey HKLM "${MACHINE_KEY}" "LastInstallDir"
!endif
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
AllowSkipFiles off
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Var AutoRun        ; 1: the HKCU Run value
Var ShowIntro      ; 1: CancelSlideshow 0
Var WaitReceiver   ; 1: CancelPlugInWindow 0
Var StartAfter     ; 1: start the program at the end
Var WasInstalled   ; the program file was there before this setup
Var RemoveSettings ; uninstall: the user's settings go too
Var OldX86Dir      ; 64-bit setup: the folder of an earlier 32-bit installation
Var Box1
Var Box2
Var Box3

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "Welcome to the ${PRODUCT} ${VERSION} Setup"
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT}, which lets you control your computer with the Orbiscope infrared remote control.$\r$\n$\r$\nIf ${PRODUCT} is running, Setup closes it and starts it again at the end; your settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
Page custom OptionsPage OptionsLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed.$\r$\n$\r$\nPlug in the receiver if you have not done so yet. The help is in the Start menu and in the menu of the tray icon."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.OptionsPage un.OptionsLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; ---------------------------------------------------------------------------
; Shared by setup and uninstaller.

; One setup or uninstaller at a time: the mutex lives as long as this process.
!macro ONE_AT_A_TIME
  System::Call 'kernel32::CreateMutexW(p 0, i 1, w "${SETUP_MUTEX}") p .r1 ?e'
  Pop $0
  ${If} $0 = 183 ; ERROR_ALREADY_EXISTS
    MessageBox MB_OK|MB_ICONEXCLAMATION "Another ${PRODUCT} setup or uninstall is already running.$\r$\nLet it finish, then try again." /SD IDOK
    SetErrorLevel 3
    Quit
  ${EndIf}
!macroend

; Closes the running copy as another program may: a close message to its main frame
; (which saves changed settings first), then waits until the window has gone and the
; program file is free.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  ; The introduction and help windows on the installed help keep their files open.
  StrCpy $1 0
  ${Do}
    FindWindow $0 "Orbiscope.Introduction" ""
    ${If} $0 = 0
      FindWindow $0 "HH Parent" "Orbiscope Remote Help"
    ${EndIf}
    ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    Sleep 100
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 40
  FindWindow $0 "${MAIN_CLASS}" ""
  ${If} $0 = 0
    Return
  ${EndIf}
  DetailPrint "Closing the running ${PRODUCT}"
  ${Do}
    FindWindow $0 "${MAIN_CLASS}" ""
    ${If} $0 <> 0
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    StrCpy $1 0
    ${Do}
      FindWindow $0 "${MAIN_CLASS}" ""
      ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
      Sleep 200
      IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 50
    ${If} $0 = 0
      ${ExitDo}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is still running and does not close.$\r$\nEnd it with Shutdown in the menu of its tray icon, then click Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 4
    Quit
    retry:
  ${Loop}
  ; The process ends shortly after its window: wait until its file can be replaced.
  Sleep 300
  StrCpy $1 0
  ${DoWhile} $1 < 50
    ${IfNot} ${FileExists} "$INSTDIR\OrbiscopeRemote.exe"
      ${ExitDo}
    ${EndIf}
    ClearErrors
    FileOpen $2 "$INSTDIR\OrbiscopeRemote.exe" a
    ${IfNot} ${Errors}
      FileClose $2
      ${ExitDo}
    ${EndIf}
    Sleep 200
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; Removes every file this setup installs, then the folders if nothing else is in them.
!macro REMOVE_FILES
  Delete "$INSTDIR\OrbiscopeRemote.exe"
  Delete "$INSTDIR\orbmonitor.exe"
  Delete "$INSTDIR\Docs\Kestrune.chm"
  Delete "$INSTDIR\Docs\intro.exe"
  !insertmacro RemoveHelpPages
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\Docs"
  RMDir "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"
!macroend

; ---------------------------------------------------------------------------
; Setup.

; Whether the folder in $INSTDIR can be written: made if missing, a file written and
; removed, and every folder the test made removed again. Leaves 1 or 0 on the stack.
Function FolderWritable
  ; The highest missing folder on the way to $INSTDIR, "" when it exists.
  StrCpy $3 ""
  StrCpy $4 "$INSTDIR"
  ${DoUntil} ${FileExists} "$4\*.*"
    StrCpy $3 "$4"
    ${GetParent} "$4" $4
    ${IfThen} $4 == "" ${|} ${ExitDo} ${|}
  ${Loop}
  StrCpy $5 0
  ClearErrors
  CreateDirectory "$INSTDIR"
  ${IfNot} ${Errors}
    FileOpen $6 "$INSTDIR\~orbiscope-setup.tmp" w
    ${IfNot} ${Errors}
      FileClose $6
      Delete "$INSTDIR\~orbiscope-setup.tmp"
      StrCpy $5 1
    ${EndIf}
  ${EndIf}
  ${If} $3 != ""
    StrCpy $4 "$INSTDIR"
    ${Do}
      RMDir "$4"
      ${IfThen} $4 == $3 ${|} ${ExitDo} ${|}
      ${GetParent} "$4" $4
      ${IfThen} $4 == "" ${|} ${ExitDo} ${|}
    ${Loop}
  ${EndIf}
  Push $5
FunctionEnd

!define CANNOT_WRITE "Setup cannot write to the folder$\r$\n$INSTDIR$\r$\n$\r$\nChoose another folder, or ask an administrator to give you write access to this one. Nothing has been installed."

Function .onInit
  !insertmacro ONE_AT_A_TIME
!if "${ARCH}" == "amd64"
  Call FindEarlierInstallation
!else
  ${If} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This setup is for 32-bit Windows, and this computer runs 64-bit Windows.$\r$\n$\r$\nInstall ${PRODUCT} with OrbiscopeRemote-Setup-x64.exe, the setup made for it. Nothing has been installed." /SD IDOK
    SetErrorLevel 5
    Quit
  ${EndIf}
!endif
  SetRegView 32
  SetShellVarContext all
  StrCpy $AutoRun 1
  StrCpy $ShowIntro 1
  StrCpy $WaitReceiver 1
  StrCpy $StartAfter 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTORUN" $1
  ${IfNot} ${Errors}
    StrCpy $AutoRun 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/NOINTRO" $1
  ${IfNot} ${Errors}
    StrCpy $ShowIntro 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/NOWAIT" $1
  ${IfNot} ${Errors}
    StrCpy $WaitReceiver 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/NOSTART" $1
  ${IfNot} ${Errors}
    StrCpy $StartAfter 0
  ${EndIf}
  ${If} ${Silent}
    Call FolderWritable
    Pop $0
    ${If} $0 <> 1
      MessageBox MB_OK|MB_ICONSTOP "${CANNOT_WRITE}" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

!if "${ARCH}" == "amd64"
; Where the last installation went, for an update (LastInstallDir lives in the 32-bit
; view). An earlier installation of the 32-bit program is known by its uninstall entry
; in the 32-bit view: the files there give way to the x86_64 program, in the 64-bit
; Program Files unless the user had chosen a folder of their own, which is kept.
Function FindEarlierInstallation
  StrCpy $OldX86Dir ""
  ${If} $INSTDIR != "$PROGRAMFILES64\Orbiscope\Remote"
    Return ; /D= chose the folder
  ${EndIf}
  SetRegView 32
  ReadRegStr $0 HKLM "${MACHINE_KEY}" "LastInstallDir"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ${If} $1 != ""
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${IfThen} $1 != "" ${|} StrCpy $0 $1 ${|}
    ${If} $0 != ""
      StrCpy $OldX86Dir $0
      ReadEnvStr $2 "ProgramFiles(x86)"
      StrLen $3 "$2\"
      StrCpy $4 $0 $3
      ${If} $2 == ""
      ${OrIf} $4 != "$2\"
        StrCpy $INSTDIR $0
      ${EndIf}
    ${EndIf}
  ${ElseIf} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

; Leaves one installation: the 32-bit program's files, its uninstall entry and its
; folder (when nothing else is in it) go; the shortcuts and the autostart are written
; again below, pointing at the new program.
Function RemoveEarlierInstallation
  ${If} $OldX86Dir == ""
    Return
  ${EndIf}
  DetailPrint "Replacing the 32-bit ${PRODUCT} in $OldX86Dir"
  SetRegView 32
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${If} $OldX86Dir != $INSTDIR
    Push $INSTDIR
    StrCpy $INSTDIR $OldX86Dir
    Call CloseRunningCopy
    !insertmacro REMOVE_FILES
    Pop $INSTDIR
  ${EndIf}
FunctionEnd
!endif

Function DirectoryLeave
  Call FolderWritable
  Pop $0
  ${If} $0 <> 1
    MessageBox MB_OK|MB_ICONSTOP "${CANNOT_WRITE}"
    Abort
  ${EndIf}
FunctionEnd

; The on-screen display, offered ticked on the options page; a choice made before (the
; value is there) is what the page shows again. A silent setup leaves the value alone.
Var ShowDisplay ; "" not asked; 1 or 0: OnScreenDisplay
Var Box4
!macro DisplayOptionCreate
  ${NSD_CreateCheckbox} 0 60u 100% 12u "Show what each remote &button did on the screen"
  Pop $Box4
  ${If} $ShowDisplay == ""
    ClearErrors
    ReadRegDWORD $ShowDisplay HKCU "${USER_KEY}" "OnScreenDisplay"
    ${If} ${Errors}
      StrCpy $ShowDisplay 1
    ${EndIf}
  ${EndIf}
  ${If} $ShowDisplay <> 0
    ${NSD_Check} $Box4
  ${EndIf}
!macroend
!macro DisplayOptionLeave
  ${NSD_GetState} $Box4 $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $ShowDisplay 1
  ${Else}
    StrCpy $ShowDisplay 0
  ${EndIf}
!macroend
!macro DisplayOptionWrite
  ${If} $ShowDisplay != ""
    WriteRegDWORD HKCU "${USER_KEY}" "OnScreenDisplay" $ShowDisplay
  ${EndIf}
!macroend

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Options" "Choose how ${PRODUCT} starts."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 12u "Start ${PRODUCT} with &Windows"
  Pop $Box1
  ${If} $AutoRun = 1
    ${NSD_Check} $Box1
  ${EndIf}
  ${NSD_CreateCheckbox} 0 20u 100% 12u "Show the &introduction"
  Pop $Box2
  ${If} $ShowIntro = 1
    ${NSD_Check} $Box2
  ${EndIf}
  ${NSD_CreateCheckbox} 0 40u 100% 12u "Wait for the &receiver after setup"
  Pop $Box3
  ${If} $WaitReceiver = 1
    ${NSD_Check} $Box3
  ${EndIf}
  !insertmacro DisplayOptionCreate
  ${NSD_CreateLabel} 0 82u 100% 56u "The introduction is a short tour of the remote, shown once the receiver is found. While Windows sets up a newly plugged-in receiver, a small window in the top-left corner of the screen waits for it.$\r$\n$\r$\nYou can change these later: the introduction and the help are in the Start menu."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function OptionsLeave
  ${NSD_GetState} $Box1 $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $AutoRun 1
  ${Else}
    StrCpy $AutoRun 0
  ${EndIf}
  ${NSD_GetState} $Box2 $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $ShowIntro 1
  ${Else}
    StrCpy $ShowIntro 0
  ${EndIf}
  ${NSD_GetState} $Box3 $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $WaitReceiver 1
  ${Else}
    StrCpy $WaitReceiver 0
  ${EndIf}
  !insertmacro DisplayOptionLeave
FunctionEnd

Function StartProgram
  Exec '"$INSTDIR\OrbiscopeRemote.exe"'
FunctionEnd

Section "Orbiscope Remote" SecMain
  SectionIn RO
  StrCpy $WasInstalled 0
  ${If} ${FileExists} "$INSTDIR\OrbiscopeRemote.exe"
    StrCpy $WasInstalled 1
  ${EndIf}
  Call CloseRunningCopy
!if "${ARCH}" == "amd64"
  Call RemoveEarlierInstallation
!endif

  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}/OrbiscopeRemote.exe"
  File "${PROGRAM_DIR}/orbmonitor.exe"
  SetOutPath "$INSTDIR\Docs"
  File "/oname=Kestrune.chm" "${CHM}"
  File "${PROGRAM_DIR}/intro.exe"
  !insertmacro InstallHelpPages
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Everything is in place; now the values that point at it.
  SetRegView 32
  WriteRegStr HKLM "${MACHINE_KEY}" "LastInstallDir" "$INSTDIR"
  WriteRegDWORD HKCU "${USER_KEY}" "InstallJustRan" 1
  !insertmacro DisplayOptionWrite
  ${If} $ShowIntro = 1
    WriteRegDWORD HKCU "${USER_KEY}" "CancelSlideshow" 0
  ${Else}
    WriteRegDWORD HKCU "${USER_KEY}" "CancelSlideshow" 1
  ${EndIf}
  ${If} $WaitReceiver = 1
    WriteRegDWORD HKCU "${USER_KEY}" "CancelPlugInWindow" 0
  ${Else}
    WriteRegDWORD HKCU "${USER_KEY}" "CancelPlugInWindow" 1
  ${EndIf}
  ${If} $AutoRun = 1
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\OrbiscopeRemote.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}

  SetShellVarContext all
  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\OrbiscopeRemote.exe"
  CreateShortcut "${MENU_FOLDER}\${PRODUCT} Help.lnk" "$INSTDIR\Docs\Kestrune.chm"
  CreateShortcut "${MENU_FOLDER}\Introduction to ${PRODUCT}.lnk" "$INSTDIR\Docs\intro.exe"
  CreateShortcut "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\uninstall.exe"

  ; The uninstall entry in the view of the program's own kind, where Windows lists it.
!if "${ARCH}" == "amd64"
  SetRegView 64
!endif
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\OrbiscopeRemote.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SetRegView 32
SectionEnd

; A fresh installation that failed halfway leaves nothing behind; an update that
; failed keeps what it had already replaced, so that a second run can finish it.
Function .onInstFailed
  ${If} $WasInstalled = 0
    !insertmacro REMOVE_FILES
  ${EndIf}
FunctionEnd

Function .onInstSuccess
  ; Without pages, the finish page's box is not there to start it.
  ${If} ${Silent}
  ${AndIf} $StartAfter = 1
    Call StartProgram
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; Uninstaller.

Function un.onInit
  !insertmacro ONE_AT_A_TIME
  SetRegView 32
  SetShellVarContext all
  StrCpy $RemoveSettings 0
FunctionEnd

Function un.OptionsPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "Choose whether your settings go too."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 30u "Your ${PRODUCT} settings (the macro buttons, favourites, repeat timing and the other choices on the settings pages) are kept, so that a new installation finds them again."
  Pop $0
  ${NSD_CreateCheckbox} 0 36u 100% 12u "Also remove my &settings"
  Pop $Box1
  nsDialogs::Show
FunctionEnd

Function un.OptionsLeave
  ${NSD_GetState} $Box1 $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $RemoveSettings 1
  ${Else}
    StrCpy $RemoveSettings 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningCopy
  !insertmacro REMOVE_FILES

  Delete "${MENU_FOLDER}\${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\${PRODUCT} Help.lnk"
  Delete "${MENU_FOLDER}\Introduction to ${PRODUCT}.lnk"
  Delete "${MENU_FOLDER}\Uninstall ${PRODUCT}.lnk"
  RMDir "${MENU_FOLDER}"

  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
!if "${ARCH}" == "amd64"
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView 32
!else
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
!endif
  DeleteRegValue HKLM "${MACHINE_KEY}" "LastInstallDir"
  DeleteRegKey /ifempty HKLM "${MACHINE_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Orbiscope\Orbiscope Remote"
  DeleteRegKey /ifempty HKLM "Software\Orbiscope"
  ${If} $RemoveSettings = 1
    DeleteRegKey HKCU "${USER_KEY}"
    DeleteRegKey /ifempty HKCU "Software\OrbiScope\Orbiscope Remote"
    DeleteRegKey /ifempty HKCU "Software\OrbiScope"
  ${EndIf}
SectionEnd
