; Orbiscape's installer: a per-user installation without administrator rights.
;
; The program keeps its working files beside itself, so it must live in a folder its user can
; write to: %LOCALAPPDATA%\Programs\Orbiscape. The installer puts the program, its pictures and
; the licence notes there, adds a Start menu entry, a start at login and an "Apps & features"
; entry, all under the current user, and starts the program. The uninstaller lets the program
; clean up after itself ("/uninstall") and then removes what the installer added. The settings
; under HKCU\Software\Orbiscape belong to the user and stay, through upgrades and uninstalls.
;
; Built by make-packages.sh, which defines:
;   VERSION     the program's version, three numbers ("2.1.1")
;   STAGE_DIR   the folder holding exactly the files to install
;   FILE_LIST   an include file whose macro ForEachShippedFile names each of those files
;   ICON        the program's icon
;   OUT_FILE    the installer to write
; and, to sign the uninstaller and the installer:
;   SIGN_SCRIPT sign.sh, which signs the file it is given in place
;
; Command line of the installer, beside the usual /S (silent) and /D=folder:
;   /NOSTART    with /S: do not start the program at the end. A copy that was running before
;               is started again all the same, so an update never leaves its user without it.

Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
; A file that cannot be written ends the installation instead of being skipped, which in a
; silent installation would otherwise happen without a word.
AllowSkipFiles off

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh
!include WinMessages.nsh
!include "${FILE_LIST}"

!define PRODUCT "Orbiscape"
!define PUBLISHER "The Orbiscape authors"
!define PROGRAM_FILE "orbiscape.exe"
!define UNINSTALLER_FILE "uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The running program's hidden main window; closing it ends the program.
!define COMMAND_SINK_TITLE "OrbiscapeCommandSink"
; How long a running copy may take to end once asked.
!define PROGRAM_EXIT_TIMEOUT_MS 20000
!define SYNCHRONIZE 0x00100000
!define WAIT_OBJECT_0 0

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
!ifdef SIGN_SCRIPT
    ; Each runs once the file is written; a failure ends the build.
    !uninstfinalize 'bash "${SIGN_SCRIPT}" "%1"' = 0
    !finalize 'bash "${SIGN_SCRIPT}" "%1"' = 0
!endif
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the previous installation is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (c) ${PUBLISHER}; MIT licence"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION} for you alone, without administrator rights, in$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\n\
${PRODUCT} keeps the Earth on your desktop as it looks right now, with day, night and clouds. \
If it is running, it is closed while its files are replaced and started again afterwards; your settings are kept.$\r$\n$\r$\n\
$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Its globe icon appears in the notification area at the bottom right of the screen: \
double-click it for the options, right-click it for its menu. ${PRODUCT} starts by itself whenever you log in.$\r$\n$\r$\n\
To remove it, uninstall ${PRODUCT} in Settings, Apps, or in Control Panel, Programs and Features."
; Room for both paragraphs above the start box.
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var RunningCopyWindow
Var RunningCopyProcess
Var RunningCopyClosed

!macro InstallFile NAME
    File "${STAGE_DIR}/${NAME}"
!macroend

!macro RemoveFile NAME
    Delete "$INSTDIR\${NAME}"
!macroend

; A running copy is found by its hidden main window; closing that window ends it. Its files,
; and its folder, come free only once its process has ended, so that is waited for.
!macro RunningCopyFunctions UN
    ; Sets RunningCopyWindow to the window of a running copy, or 0, and RunningCopyProcess to a
    ; handle to its process, or 0 when there is none or it cannot be opened.
    Function ${UN}FindRunningCopy
        StrCpy $RunningCopyProcess 0
        FindWindow $RunningCopyWindow "" "${COMMAND_SINK_TITLE}"
        ${If} $RunningCopyWindow != 0
            StrCpy $0 0
            System::Call 'user32::GetWindowThreadProcessId(p $RunningCopyWindow, *i .r0) i'
            System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r0) p .s'
            Pop $RunningCopyProcess
        ${EndIf}
    FunctionEnd

    ; Waits, bounded, for the process found above to end and lets go of it. Leaves 1 on the
    ; stack when it has ended (or there was none), 0 when it still runs.
    Function ${UN}WaitForRunningCopy
        ${If} $RunningCopyProcess P= 0
            Push 1
            Return
        ${EndIf}
        System::Call 'kernel32::WaitForSingleObject(p $RunningCopyProcess, i ${PROGRAM_EXIT_TIMEOUT_MS}) i .r0'
        System::Call 'kernel32::CloseHandle(p $RunningCopyProcess)'
        StrCpy $RunningCopyProcess 0
        ${If} $0 = ${WAIT_OBJECT_0}
            Push 1
        ${Else}
            Push 0
        ${EndIf}
    FunctionEnd
!macroend
!insertmacro RunningCopyFunctions ""
!insertmacro RunningCopyFunctions "un."

; Closes a running copy the way "/uninstall" does and waits for it to end. Sets
; RunningCopyClosed to 1 when a copy ran; aborts the installation when it does not end in time.
Function CloseRunningCopy
    StrCpy $RunningCopyClosed 0
    Call FindRunningCopy
    ${If} $RunningCopyWindow == 0
        Return
    ${EndIf}
    DetailPrint "Closing the running ${PRODUCT}"
    SendMessage $RunningCopyWindow ${WM_CLOSE} 0 0 /TIMEOUT=${PROGRAM_EXIT_TIMEOUT_MS}
    Call WaitForRunningCopy
    Pop $0
    ${If} $0 != 1
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running and did not close. \
Right-click its globe icon and choose Exit, then run Setup again." /SD IDOK
        Abort "${PRODUCT} did not close."
    ${EndIf}
    StrCpy $RunningCopyClosed 1
FunctionEnd

; The program starts itself again from its own folder, which it needs as its current directory.
Function StartProgram
    Exec '"$INSTDIR\${PROGRAM_FILE}" /install'
FunctionEnd

Section "Install"
    Call CloseRunningCopy

    SetOutPath "$INSTDIR"
    !insertmacro ForEachShippedFile InstallFile
    WriteUninstaller "$INSTDIR\${UNINSTALLER_FILE}"

    ; The working directory of a shortcut is the output path, the program's own folder.
    CreateShortCut "${SHORTCUT}" "$INSTDIR\${PROGRAM_FILE}" "" "$INSTDIR\${PROGRAM_FILE}" 0
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${PROGRAM_FILE}" /install'

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_FILE},0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ; Interactively the finish page offers the start; silently it happens here.
    ${If} ${Silent}
        ${GetParameters} $0
        ClearErrors
        ${GetOptions} $0 "/NOSTART" $1
        ${If} ${Errors}
        ${OrIf} $RunningCopyClosed == 1
            Call StartProgram
        ${EndIf}
    ${EndIf}
SectionEnd

Section "Uninstall"
    ; The program ends a running copy, takes its picture off the desktop and deletes its
    ; working files itself. Only once that copy has ended do its files come free.
    Call un.FindRunningCopy
    ExecWait '"$INSTDIR\${PROGRAM_FILE}" /uninstall'
    Call un.WaitForRunningCopy
    Pop $0
    ${If} $0 == 1
        !insertmacro ForEachShippedFile RemoveFile
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\${PROGRAM_FILE}"
        ; The uninstaller, the login start and the "Apps & features" entry stay, so that the
        ; program keeps working and its removal can be tried again.
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is running and could not be removed. \
Right-click its globe icon and choose Exit, then uninstall ${PRODUCT} again." /SD IDOK
        SetErrorLevel 2
        Abort "${PRODUCT} could not be removed."
    ${EndIf}
    ; What an ended copy may have left: a cloud download, and files it was writing under a
    ; temporary name.
    Delete "$INSTDIR\clouds-new.jpg"
    Delete "$INSTDIR\*.tmp"
    Delete "$INSTDIR\${UNINSTALLER_FILE}"
    ; Only an empty folder goes: anything else in it was put there by someone else.
    RMDir "$INSTDIR"

    Delete "${SHORTCUT}"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
