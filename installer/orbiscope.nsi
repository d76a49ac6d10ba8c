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
; Silent: /S takes the defaults (the uninstaller's /REMOVESETTINGS removes the user's
; settings and trace logs too). /NOAUTORUN, /NOINTRO, /NOWAIT and /NOSTART untick
; "Start Orbiscope Remote with Windows", "Show the introduction", "Wait for the receiver
; after setup" and "Start Orbiscope Remote now". /D=folder chooses the folder.
; Exit codes: 0 done, 1 cancelled or failed, 2 the folder cannot be written, 3 another
; setup runs, 4 the running copy did not close, 5 other users could change the folder, 6 the setup is not the one for this
; kind of Windows.
;
; Setup needs administrator rights only for Program Files and HKLM. Everything of a
; user's own (the start-up values, the program itself) happens as that user: the
; choices go machine-wide and the program takes them into its user's settings at its
; first start there; the program is started through the desktop shell
; (setuphelper.exe, run from the temporary folder).

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
; What setup made in $INSTDIR: the folders, and the files of ours it found there
; already and left alone (UTF-16, one "folder|path" or "kept|path" a line).
!define INSTALL_LOG "OrbiscopeRemote-install.log"

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "TextFunc.nsh"
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

Var AutoRun        ; 1: the HKLM Run value
Var ShowIntro      ; 1: CancelSlideshow 0
Var WaitReceiver   ; 1: CancelPlugInWindow 0
Var StartAfter     ; 1: start the program at the end
Var WasInstalled   ; the program file was there before this setup
Var RemoveSettings ; uninstall: the user's settings go too
Var OldX86Dir      ; 64-bit setup: the folder of an earlier 32-bit installation
Var Log            ; the install log, open while the section runs
Var OldLog         ; 1: an install log was there before this setup
Var EarlierOurs    ; 1: an earlier setup of ours, without a log, installed here
Var ListFile       ; the log that Listed reads
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

; Whether the log $ListFile has the line $R9: 1 or 0 on the stack.
!macro LISTED un
Function ${un}Listed
  Push $R7
  Push $R6
  StrCpy $R6 0
  ClearErrors
  FileOpen $R7 "$ListFile" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileReadUTF16LE $R7 $R5
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      ${TrimNewLines} "$R5" $R5
      ${If} $R5 == $R9
        StrCpy $R6 1
        ${ExitDo}
      ${EndIf}
    ${Loop}
    FileClose $R7
  ${EndIf}
  StrCpy $R5 $R6
  Pop $R6
  Pop $R7
  Push $R5
FunctionEnd
!macroend
!insertmacro LISTED ""
!insertmacro LISTED "un."

; A help page goes only where setup put it: one of the user's own, found there before
; the first installation, stays.
!macro REMOVE_HELP_PAGE NAME
  StrCpy $R9 "kept|Docs\${NAME}"
  !ifdef __UNINSTALL__
    Call un.Listed
  !else
    Call Listed
  !endif
  Pop $R8
  ${If} $R8 = 0
    Delete "$INSTDIR\Docs\${NAME}"
  ${EndIf}
!macroend

; The folders setup made, innermost first (the log has them outermost first), each only
; when nothing else is in it.
!macro REMOVE_MADE_FOLDERS un
Function ${un}RemoveMadeFolders
  StrCpy $R6 0
  ClearErrors
  FileOpen $R7 "$INSTDIR\${INSTALL_LOG}" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileReadUTF16LE $R7 $R5
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      ${TrimNewLines} "$R5" $R5
      StrCpy $R4 $R5 7
      ${If} $R4 == "folder|"
        StrCpy $R5 $R5 "" 7
        Push $R5
        IntOp $R6 $R6 + 1
      ${EndIf}
    ${Loop}
    FileClose $R7
  ${EndIf}
  Delete "$INSTDIR\${INSTALL_LOG}"
  ${DoWhile} $R6 > 0
    Pop $R5
    RMDir "$R5"
    IntOp $R6 $R6 - 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro REMOVE_MADE_FOLDERS ""
!insertmacro REMOVE_MADE_FOLDERS "un."

; The shipped profile files the install log in $INSTDIR names ("profile|<name>"): only
; those, so a file an administrator added to Profiles stays, and a file a later version
; no longer ships does not linger after an update.
!macro REMOVE_LISTED_PROFILES un
Function ${un}RemoveListedProfiles
  ClearErrors
  FileOpen $R7 "$INSTDIR\${INSTALL_LOG}" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileReadUTF16LE $R7 $R5
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      ${TrimNewLines} "$R5" $R5
      StrCpy $R4 $R5 8
      ${If} $R4 == "profile|"
        StrCpy $R5 $R5 "" 8
        Delete "$INSTDIR\Profiles\$R5"
      ${EndIf}
    ${Loop}
    FileClose $R7
  ${EndIf}
FunctionEnd
!macroend
!insertmacro REMOVE_LISTED_PROFILES ""
!insertmacro REMOVE_LISTED_PROFILES "un."

; A shipped profile file, logged so that the uninstaller removes it and nothing else.
!macro PLACE_PROFILE SOURCE NAME
  File "/oname=$INSTDIR\Profiles\${NAME}" "${SOURCE}"
  FileWriteUTF16LE $Log "profile|${NAME}$\r$\n"
!macroend

; Removes what this setup installed and the folders it made, nothing of anyone else's.
!macro REMOVE_FILES
  !ifdef __UNINSTALL__
    Call un.RemoveListedProfiles
  !else
    Call RemoveListedProfiles
  !endif
  Delete "$INSTDIR\OrbiscopeRemote.exe"
  Delete "$INSTDIR\orbmonitor.exe"
  Delete "$INSTDIR\Docs\Kestrune.chm"
  Delete "$INSTDIR\Docs\intro.exe"
  !insertmacro RemoveHelpPages
  Delete "$INSTDIR\uninstall.exe"
  !ifdef __UNINSTALL__
    Call un.RemoveMadeFolders
  !else
    Call RemoveMadeFolders
  !endif
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


; --- Setup's own part: the helper, the folder's safety, the log, the choices, the start.

!macro UNPACK_HELPER
  InitPluginsDir
  File "/oname=$PLUGINSDIR\setuphelper.exe" "${PROGRAM_DIR}/setuphelper.exe"
!macroend

!define OPEN_TO_OTHERS "Other users of this computer could change the folder$\r$\n$INSTDIR$\r$\nor a folder on the way to it, and so replace the programs that run from it.$\r$\n$\r$\nChoose another folder, such as one in Program Files. Nothing has been installed."

; Leaves 1 on the stack when no existing folder on the way to $INSTDIR lets other
; users rename, delete or re-permission it.
Function FolderSafe
  ExecWait '"$PLUGINSDIR\setuphelper.exe" check "$INSTDIR"' $0
  ${If} $0 = 0
    Push 1
  ${Else}
    Push 0
  ${EndIf}
FunctionEnd

; Makes the missing folders (logged outermost first), makes sure that only
; administrators can change the outermost of them (or $INSTDIR when it was there) and
; opens the new log; an earlier log's folders carry over.
Function OpenInstallLog
  StrCpy $OldLog 0
  StrCpy $EarlierOurs 0
  StrCpy $ListFile "$PLUGINSDIR\earlier.log"
  Delete "$ListFile"
  ${If} ${FileExists} "$INSTDIR\${INSTALL_LOG}"
    StrCpy $OldLog 1
    CopyFiles /SILENT "$INSTDIR\${INSTALL_LOG}" "$ListFile"
  ${ElseIf} ${FileExists} "$INSTDIR\OrbiscopeRemote.exe"
  ${AndIf} ${FileExists} "$INSTDIR\uninstall.exe"
    StrCpy $EarlierOurs 1
  ${EndIf}
  StrCpy $R1 "$INSTDIR"
  StrCpy $R2 0
  ${DoUntil} ${FileExists} "$R1\*.*"
    Push $R1
    IntOp $R2 $R2 + 1
    ${GetParent} "$R1" $R1
    ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
  ${Loop}
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $Log "$INSTDIR\${INSTALL_LOG}" w
  ${If} ${Errors}
    Abort "Setup cannot write to $INSTDIR"
  ${EndIf}
  FileWriteUTF16LE /BOM $Log ""
  StrCpy $R3 "$INSTDIR"
  ${If} $R2 > 0
    Pop $R3
    FileWriteUTF16LE $Log "folder|$R3$\r$\n"
    IntOp $R2 $R2 - 1
    ${DoWhile} $R2 > 0
      Pop $R1
      FileWriteUTF16LE $Log "folder|$R1$\r$\n"
      IntOp $R2 $R2 - 1
    ${Loop}
  ${EndIf}
  ${If} $EarlierOurs = 1
    FileWriteUTF16LE $Log "folder|$INSTDIR$\r$\nfolder|$INSTDIR\Docs$\r$\n"
  ${ElseIf} $OldLog = 1
    FileOpen $R7 "$ListFile" r
    ${Do}
      ClearErrors
      FileReadUTF16LE $R7 $R5
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      ${TrimNewLines} "$R5" $R5
      StrCpy $R4 $R5 7
      ${If} $R4 == "folder|"
        FileWriteUTF16LE $Log "$R5$\r$\n"
      ${EndIf}
    ${Loop}
    FileClose $R7
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\Docs\*.*"
    CreateDirectory "$INSTDIR\Docs"
    FileWriteUTF16LE $Log "folder|$INSTDIR\Docs$\r$\n"
  ${EndIf}
  ; Made like the others, so it inherits the protection below: only administrators
  ; change what the program reads as the shipped profiles.
  ${IfNot} ${FileExists} "$INSTDIR\Profiles\*.*"
    CreateDirectory "$INSTDIR\Profiles"
    FileWriteUTF16LE $Log "folder|$INSTDIR\Profiles$\r$\n"
  ${EndIf}
  ExecWait '"$PLUGINSDIR\setuphelper.exe" protect "$R3"' $0
  ${If} $0 <> 0
    DetailPrint "Setup could not keep other users from changing $R3"
    MessageBox MB_OK|MB_ICONSTOP "${OPEN_TO_OTHERS}" /SD IDOK
    SetErrorLevel 5
    Abort
  ${EndIf}
FunctionEnd

; Whether the help page $R9 (relative to $INSTDIR) may be written: 1 when it is missing
; or ours; 0, and logged as kept, when it was there before, someone else's.
Function MayPlace
  ${IfNot} ${FileExists} "$INSTDIR\$R9"
  ${OrIf} $EarlierOurs = 1
    Push 1
    Return
  ${EndIf}
  StrCpy $R9 "kept|$R9"
  ${If} $OldLog = 1
    Call Listed
    Pop $R8
    ${If} $R8 = 0
      Push 1
      Return
    ${EndIf}
  ${EndIf}
  FileWriteUTF16LE $Log "$R9$\r$\n"
  Push 0
FunctionEnd

!macro PLACE_HELP_PAGE SOURCE NAME
  StrCpy $R9 "Docs\${NAME}"
  Call MayPlace
  Pop $R8
  ${If} $R8 = 1
    File "/oname=$INSTDIR\Docs\${NAME}" "${SOURCE}"
  ${EndIf}
!macroend

; The on-screen display, offered ticked on the options page; a choice made before (the
; value is there) is what the page shows again. A silent setup leaves the value alone.
Var ShowDisplay ; "" not asked; 1 or 0: OnScreenDisplay
Var Box4
!macro DisplayOptionCreate
  ${NSD_CreateCheckbox} 0 60u 100% 12u "Show what each remote &button did on the screen"
  Pop $Box4
  ${If} $ShowDisplay == ""
    ClearErrors
    SetRegView 32
    ReadRegDWORD $ShowDisplay HKLM "${MACHINE_KEY}" "OnScreenDisplay"
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
; Like the other choices, machine-wide for each user's first start; a setup whose page
; was not shown (silent) leaves every user's own choice alone.
!macro DisplayOptionWrite
  ${If} $ShowDisplay != ""
    WriteRegDWORD HKLM "${MACHINE_KEY}" "OnScreenDisplay" $ShowDisplay
  ${Else}
    DeleteRegValue HKLM "${MACHINE_KEY}" "OnScreenDisplay"
  ${EndIf}
!macroend

; The choices go machine-wide: the program copies them into the settings of each user
; who runs it next (once per InstallStamp, written last). The autostart is the
; machine's: every user's logon starts the program as that user.
Function WriteSetupChoices
  SetRegView 32
  WriteRegStr HKLM "${MACHINE_KEY}" "LastInstallDir" "$INSTDIR"
  ${If} $ShowIntro = 1
    WriteRegDWORD HKLM "${MACHINE_KEY}" "CancelSlideshow" 0
  ${Else}
    WriteRegDWORD HKLM "${MACHINE_KEY}" "CancelSlideshow" 1
  ${EndIf}
  ${If} $WaitReceiver = 1
    WriteRegDWORD HKLM "${MACHINE_KEY}" "CancelPlugInWindow" 0
  ${Else}
    WriteRegDWORD HKLM "${MACHINE_KEY}" "CancelPlugInWindow" 1
  ${EndIf}
  !insertmacro DisplayOptionWrite
  System::Call 'kernel32::GetSystemTimeAsFileTime(*l .r0)'
  WriteRegStr HKLM "${MACHINE_KEY}" "InstallStamp" "${VERSION}-$0"
  ${If} $AutoRun = 1
    WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\OrbiscopeRemote.exe"'
  ${Else}
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}
  ; Earlier setups put the start value into the hive of whoever ran them.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
FunctionEnd

!define CANNOT_WRITE "Setup cannot write to the folder$\r$\n$INSTDIR$\r$\n$\r$\nChoose another folder, or ask an administrator to give you write access to this one. Nothing has been installed."

Function .onInit
  !insertmacro ONE_AT_A_TIME
  !insertmacro UNPACK_HELPER
!if "${ARCH}" == "amd64"
  Call FindEarlierInstallation
!else
  ${If} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This setup is for 32-bit Windows, and this computer runs 64-bit Windows.$\r$\n$\r$\nInstall ${PRODUCT} with OrbiscopeRemote-Setup-x64.exe, the setup made for it. Nothing has been installed." /SD IDOK
    SetErrorLevel 6
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
    Call FolderSafe
    Pop $0
    ${If} $0 <> 1
      MessageBox MB_OK|MB_ICONSTOP "${OPEN_TO_OTHERS}" /SD IDOK
      SetErrorLevel 5
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
    ; Earlier setups kept no list of the folders they made; their own uninstallers
    ; removed the folder and its Orbiscope parent when empty, and so does this.
    RMDir "$INSTDIR\Docs"
    RMDir "$INSTDIR"
    ${GetParent} "$INSTDIR" $0
    ${GetFileName} "$0" $1
    ${If} $1 == "Orbiscope"
      RMDir "$0"
    ${EndIf}
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
  Call FolderSafe
  Pop $0
  ${If} $0 <> 1
    MessageBox MB_OK|MB_ICONSTOP "${OPEN_TO_OTHERS}"
    Abort
  ${EndIf}
FunctionEnd

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

; As the user signed in at this desktop, through the desktop shell: never with this
; setup's administrator token, and not at all from a setup run as SYSTEM, where the
; logon start of each user takes over.
Function StartProgram
  ExecWait '"$PLUGINSDIR\setuphelper.exe" start "$INSTDIR\OrbiscopeRemote.exe"' $0
  ${If} $0 <> 0
    DetailPrint "${PRODUCT} starts when a user signs in"
  ${EndIf}
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
  ; The earlier installation's shipped profiles go before its log is replaced.
  Call RemoveListedProfiles
  Call OpenInstallLog

  SetOverwrite on
  SetOutPath "$INSTDIR"
  File "${PROGRAM_DIR}/OrbiscopeRemote.exe"
  File "${PROGRAM_DIR}/orbmonitor.exe"
  SetOutPath "$INSTDIR\Docs"
  File "/oname=Kestrune.chm" "${CHM}"
  File "${PROGRAM_DIR}/intro.exe"
  !insertmacro InstallHelpPages
  !insertmacro InstallProfiles
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  FileClose $Log
  StrCpy $Log ""

  ; Everything is in place; now the values that point at it.
  Call WriteSetupChoices

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
  ${If} $Log != ""
    FileClose $Log
  ${EndIf}
  ${If} $WasInstalled = 0
    StrCpy $ListFile "$INSTDIR\${INSTALL_LOG}"
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
  StrCpy $ListFile "$INSTDIR\${INSTALL_LOG}"
  ; Silent: /REMOVESETTINGS ticks "Also remove my settings".
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
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

  DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
!if "${ARCH}" == "amd64"
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView 32
!else
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
!endif
  DeleteRegValue HKLM "${MACHINE_KEY}" "LastInstallDir"
  DeleteRegValue HKLM "${MACHINE_KEY}" "InstallStamp"
  DeleteRegValue HKLM "${MACHINE_KEY}" "CancelSlideshow"
  DeleteRegValue HKLM "${MACHINE_KEY}" "OnScreenDisplay"
  DeleteRegValue HKLM "${MACHINE_KEY}" "CancelPlugInWindow"
  DeleteRegKey /ifempty HKLM "${MACHINE_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Orbiscope\Orbiscope Remote"
  DeleteRegKey /ifempty HKLM "Software\Orbiscope"
  ${If} $RemoveSettings = 1
    DeleteRegKey HKCU "${USER_KEY}"
    DeleteRegKey /ifempty HKCU "Software\OrbiScope\Orbiscope Remote"
    DeleteRegKey /ifempty HKCU "Software\OrbiScope"
    ; The routing trace's log is a history of the user's presses.
    SetShellVarContext current
    Delete "$LOCALAPPDATA\Orbiscope\Remote\trace*.log"
    RMDir "$LOCALAPPDATA\Orbiscope\Remote"
    RMDir "$LOCALAPPDATA\Orbiscope"
    SetShellVarContext all
  ${EndIf}
SectionEnd
