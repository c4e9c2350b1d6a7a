; The Windows installer of the product: one per-user program folder with the
; shell, its pictures and its settings files, the four solver programs with
; their problems, shortcuts and an uninstall entry.
;
; Built by the CMake target "installer":
;   makensis -INPUTCHARSET UTF8 -DZEL_GENERATED=<dir> zelmiku.nsi
; where <dir> holds defines.nsh (names, version, paths, architecture) and
; files.nsh (the staged files, see stage.cmake).
;
; One script, two installers: the 32-bit build's installer is a 32-bit
; program, the 64-bit build's a 64-bit one. Both install into the same folder
; under the same uninstall entry, so either one over the other is an update.

!include "${ZEL_GENERATED}/defines.nsh"
Target "${ZEL_NSIS_TARGET}"
!include "${ZEL_GENERATED}/files.nsh"
!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"

; The program writes its settings and page counters into its own folder, so
; the folder must belong to the user: no administrator, no Program Files.
RequestExecutionLevel user
; An ASCII folder name: the solvers are older programs that may not read
; a path outside the system code page.
InstallDir "$LOCALAPPDATA\Programs\Zelmiku"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelmiku"
; An update goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

; In quotes: the pages put the name where Russian needs it in the nominative
; ("мастер установки «Шахматная тактика»").
Name "«${ZEL_PRODUCT_NAME}»"
; "Setup" in the name: Windows guesses that such a program needs an
; administrator only when it has no manifest, and RequestExecutionLevel puts
; one in, so the installer starts as the user.
OutFile "${ZEL_OUTFILE}"
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow
BrandingText "${ZEL_PRODUCT_NAME} ${ZEL_VERSION}"

VIProductVersion "${ZEL_VERSION_QUAD}"
VIFileVersion "${ZEL_VERSION_QUAD}"
VIAddVersionKey /LANG=1049 "ProductName" "${ZEL_PRODUCT_NAME}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${ZEL_VERSION}"
VIAddVersionKey /LANG=1049 "FileVersion" "${ZEL_VERSION}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка: ${ZEL_PRODUCT_NAME}"
VIAddVersionKey /LANG=1049 "CompanyName" "${ZEL_PUBLISHER}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "${ZEL_COPYRIGHT}"

!define PROGRAM "Zelmiku.exe"
!define SHORTCUT "${ZEL_PRODUCT_NAME}.lnk"

!define MUI_ICON "${ZEL_ICON}"
!define MUI_UNICON "${ZEL_ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${ZEL_WIZARD_BITMAP}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; --- Installing ---------------------------------------------------------------

!macro InstallFile NAME
  File "${ZEL_STAGING}/program/${NAME}"
!macroend

; A solver goes where no program of that name is, or over one an earlier
; installation put there: recorded with the size it still has (the shell
; changes a few letters inside it, never its size). Earlier versions put
; stand-ins there, recorded the same way. A program of that name from
; elsewhere stays. Each solver installed is recorded, so that an update and
; the uninstaller touch only what this installer put there.
!macro InstallSolver NAME
  StrCpy $1 "ours"
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "Solver ${NAME}"
    ${If} $0 == ""
      ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "Standin ${NAME}"
    ${EndIf}
    Push "$INSTDIR\${NAME}"
    Call FileSize
    Pop $2
    ${If} $0 == ""
    ${OrIf} $0 != $2
      StrCpy $1 "foreign"
    ${EndIf}
  ${EndIf}
  ${If} $1 == "ours"
    File "${ZEL_STAGING}/solvers/${NAME}"
    Push "$INSTDIR\${NAME}"
    Call FileSize
    Pop $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "Solver ${NAME}" $0
    DeleteRegValue HKCU "${UNINSTALL_KEY}" "Standin ${NAME}"
  ${EndIf}
!macroend

; Whether the file named on the stack holds no value, in its place on the
; stack (1 or 0): nothing but blanks and line ends, or nothing at all. The
; shell cannot start with such a settings file; one it can read, whatever it
; says, is the user's and stays.
Function HoldsNoValue
  Exch $0
  Push $1
  Push $2
  FileOpen $1 $0 r
  StrCpy $0 0
  ${If} $1 != ""
    StrCpy $0 1
    ${Do}
      ClearErrors
      FileReadByte $1 $2
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${If} $2 != 32
      ${AndIf} $2 != 9
      ${AndIf} $2 != 13
      ${AndIf} $2 != 10
        StrCpy $0 0
        ${Break}
      ${EndIf}
    ${Loop}
    FileClose $1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; A settings file that holds no value makes way for the default below.
!macro RepairSettingsFile NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    Push "$INSTDIR\${NAME}"
    Call HoldsNoValue
    Pop $0
    ${If} $0 == 1
      Delete "$INSTDIR\${NAME}"
    ${EndIf}
  ${EndIf}
!macroend

; The size of the file named on the stack, in bytes (-1 if it cannot be
; opened), in its place on the stack. The uninstaller needs its own copy.
!macro DefineFileSize PREFIX
  Function ${PREFIX}FileSize
    Exch $0
    Push $1
    FileOpen $1 $0 r
    ${If} $1 == ""
      StrCpy $0 -1
    ${Else}
      FileSeek $1 0 END $0
      FileClose $1
    ${EndIf}
    Pop $1
    Exch $0
  FunctionEnd
!macroend
!insertmacro DefineFileSize ""
!insertmacro DefineFileSize "un."

; Windows lets nobody write a running program's file, so while the shell or a
; solver runs from the folder its file cannot be opened for writing (nothing
; is written). Installing or uninstalling then would leave a mix of old and
; new files: the user closes the programs first, or the run ends here
; (silently: at once).
!macro DefineRefuseWhileRunning PREFIX CHECK
  ; Whether the file named on the stack, in the folder, cannot be opened for
  ; writing: 1 or 0 in its place.
  Function ${PREFIX}IsRunning
    Exch $0
    ${If} ${FileExists} "$INSTDIR\$0"
      ClearErrors
      FileOpen $0 "$INSTDIR\$0" a
      ${If} ${Errors}
        StrCpy $0 1
      ${Else}
        FileClose $0
        StrCpy $0 0
      ${EndIf}
    ${Else}
      StrCpy $0 0
    ${EndIf}
    Exch $0
  FunctionEnd

  Function ${PREFIX}RefuseWhileRunning
    retry:
    StrCpy $R9 0
    !insertmacro ${CHECK} "${PROGRAM}"
    !insertmacro ZEL_EACH_SOLVER ${CHECK}
    ${If} $R9 == 1
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Программа $(^Name) запущена из этой папки. Закройте её и нажмите «Повтор»." \
        /SD IDCANCEL IDRETRY retry
      Abort
    ${EndIf}
  FunctionEnd
!macroend
; $R9 becomes 1 when the program NAME runs; the uninstaller needs its own.
!macro CheckRunning NAME
  Push "${NAME}"
  Call IsRunning
  Pop $0
  IntOp $R9 $R9 | $0
!macroend
!macro UnCheckRunning NAME
  Push "${NAME}"
  Call un.IsRunning
  Pop $0
  IntOp $R9 $R9 | $0
!macroend
!insertmacro DefineRefuseWhileRunning "" CheckRunning
!insertmacro DefineRefuseWhileRunning "un." UnCheckRunning

Section "!${ZEL_PRODUCT_NAME}" SecProgram
  SectionIn RO
  Call RefuseWhileRunning
  ; The records of stand-ins belong to the folder the key names; an
  ; installation into another folder starts the key afresh.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}

  SetOutPath "$INSTDIR"
  !insertmacro ZEL_EACH_PROGRAM_FILE InstallFile
  !insertmacro ZEL_EACH_SOLVER InstallSolver
  ; The user's settings survive a reinstallation or an update as they are,
  ; unless the shell could not start with them.
  !insertmacro ZEL_EACH_SETTINGS_FILE RepairSettingsFile
  SetOverwrite off
  !insertmacro ZEL_EACH_SETTINGS_FILE InstallFile
  SetOverwrite on
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; SetOutPath above makes the program folder the shortcut's working folder:
  ; the shell finds its settings and pictures in the current folder.
  CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0
SectionEnd

Section /o "Ярлык на рабочем столе" SecDesktop
  SetOutPath "$INSTDIR"
  CreateShortCut "$DESKTOP\${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0
SectionEnd

Section "-Register"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${ZEL_PRODUCT_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${ZEL_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${ZEL_PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; What the program takes, in KB: its files as makensis measured them.
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function StartProgram
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\${PROGRAM}"'
FunctionEnd

; --- Uninstalling ---------------------------------------------------------------

!macro RemoveFile NAME
  Delete "$INSTDIR\${NAME}"
!macroend

; A file the program rewrites, with the temporary files its writer leaves
; beside it after a crash: NAME.~<process id>-<attempt>.tmp.
!macro RemoveRewrittenFile NAME
  Delete "$INSTDIR\${NAME}"
  Delete "$INSTDIR\${NAME}.~*.tmp"
!macroend

!macro RemoveDamagedFile NAME
  Delete "$INSTDIR\${NAME}.bad"
!macroend

; Only a solver (or an earlier version's stand-in) this installation
; recorded, and only while it still has the recorded size: a program of that
; name copied over it stays.
!macro RemoveSolver NAME
  ${If} $R0 == "this folder"
    ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "Solver ${NAME}"
    ${If} $0 == ""
      ReadRegDWORD $0 HKCU "${UNINSTALL_KEY}" "Standin ${NAME}"
    ${EndIf}
    ${If} $0 != ""
      Push "$INSTDIR\${NAME}"
      Call un.FileSize
      Pop $1
      ${If} $0 == $1
        Delete "$INSTDIR\${NAME}"
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

Section "Uninstall"
  Call un.RefuseWhileRunning
  ; The key, its records and the shortcuts belong to this folder only if the
  ; key names it: an older folder's uninstaller leaves a newer installation be.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $R0 "another folder"
  ${If} $0 == $INSTDIR
    StrCpy $R0 "this folder"
  ${EndIf}

  !insertmacro ZEL_EACH_PROGRAM_FILE RemoveFile
  !insertmacro ZEL_EACH_SETTINGS_FILE RemoveRewrittenFile
  ; The page counters the textbook and the help keep.
  !insertmacro RemoveRewrittenFile "playea.ini"
  !insertmacro RemoveRewrittenFile "playeo.ini"
  !insertmacro ZEL_EACH_SOLVER RemoveSolver
  ; Earlier versions also put a stand-in for the video program there.
  !insertmacro RemoveSolver "Zvideo.exe"
  ; What the solvers write: each course's progress, a damaged one set aside,
  ; and the lock they take to write it.
  !insertmacro ZEL_EACH_PROGRESS_FILE RemoveRewrittenFile
  !insertmacro ZEL_EACH_PROGRESS_FILE RemoveDamagedFile
  Delete "$INSTDIR\progress.lck"
  ; What an earlier version's stand-ins wrote when they were started.
  Delete "$INSTDIR\launches.log"
  Delete "$INSTDIR\Uninstall.exe"

  ${If} $R0 == "this folder"
    Delete "$SMPROGRAMS\${SHORTCUT}"
    Delete "$DESKTOP\${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
  ; Last, and only if empty: anything else the user keeps there stays.
  RMDir "$INSTDIR"
SectionEnd
