; tavrin's additions to the installer script that CPack generates: a program
; that is running is never half replaced or half removed, an earlier
; installation is removed only when its uninstaller succeeds, and the
; Add/Remove Programs entry is complete.

!include FileFunc.nsh

!define TAVRIN_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\tavrin"
; Exit codes of a silent run that changed nothing.
!define TAVRIN_EXIT_PROGRAM_RUNNING 3
!define TAVRIN_EXIT_UNINSTALL_FAILED 4

; The Start-menu folder carries no version, so that an upgrade keeps the
; user's pinned shortcut.
!define MUI_STARTMENUPAGE_DEFAULTFOLDER "tavrin"

; Waits until tavrin.exe in the folder on the stack is no longer running.
; A running program file cannot be opened for writing, which is what the
; installer and the uninstaller are about to do. A user is asked to close it;
; a silent run, where nobody can close it, stops with an exit code instead.
; Either way nothing has been changed yet.
!macro TAVRIN_ENSURE_CLOSED_FUNCTION PREFIX
Function ${PREFIX}tavrinEnsureClosed
    Exch $0
    Push $1
  check:
    IfFileExists "$0\tavrin.exe" 0 closed
    ClearErrors
    FileOpen $1 "$0\tavrin.exe" a
    IfErrors running
    FileClose $1
    Goto closed
  running:
    IfSilent 0 ask
    SetErrorLevel ${TAVRIN_EXIT_PROGRAM_RUNNING}
    Quit
  ask:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "tavrin is running from $0.$\n$\nClose tavrin, then choose Retry. Cancel stops here without changing anything." \
        IDRETRY check
    SetErrorLevel ${TAVRIN_EXIT_PROGRAM_RUNNING}
    Quit
  closed:
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro TAVRIN_ENSURE_CLOSED_FUNCTION ""
!insertmacro TAVRIN_ENSURE_CLOSED_FUNCTION "un."

; Before anything is copied: the target folder's program closed, and an
; earlier installation (wherever it is) closed and then uninstalled. The
; uninstaller runs in place (_?=) so that its exit code can be seen; it then
; cannot delete itself, which is done here.
!macro TAVRIN_BEFORE_INSTALL
    Push $INSTDIR
    Call tavrinEnsureClosed
    ReadRegStr $0 HKLM "${TAVRIN_UNINSTALL_KEY}" "UninstallString"
    StrCmp $0 "" tavrin_no_earlier
    ; The string is the uninstaller's path in quotes.
    StrCpy $2 $0 1 0
    StrCmp $2 "$\"" 0 +2
    StrCpy $0 $0 "" 1
    StrCpy $2 $0 1 -1
    StrCmp $2 "$\"" 0 +2
    StrCpy $0 $0 -1
    ${GetParent} $0 $3
    Push $3
    Call tavrinEnsureClosed
    MessageBox MB_YESNOCANCEL|MB_ICONEXCLAMATION \
        "tavrin is already installed.$\n$\nDo you want to uninstall the old version before installing the new one?" \
        /SD IDYES IDYES tavrin_uninstall IDNO tavrin_no_earlier
    Quit
  tavrin_uninstall:
    ClearErrors
    ExecWait '"$0" /S _?=$3' $1
    IfErrors tavrin_uninstall_failed
    StrCmp $1 "0" 0 tavrin_uninstall_failed
    Delete $0
    RMDir $3
    Goto tavrin_no_earlier
  tavrin_uninstall_failed:
    MessageBox MB_OK|MB_ICONSTOP "Uninstalling the installed version failed; nothing was changed." /SD IDOK
    SetErrorLevel ${TAVRIN_EXIT_UNINSTALL_FAILED}
    Quit
  tavrin_no_earlier:
    ; The folder may just have been removed with the earlier installation.
    SetOutPath $INSTDIR
!macroend

; After the files are in place: the entries CPack's script leaves out or
; writes as text where Windows reads numbers.
!macro TAVRIN_COMPLETE_UNINSTALL_ENTRY
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD SHCTX "${TAVRIN_UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD SHCTX "${TAVRIN_UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${TAVRIN_UNINSTALL_KEY}" "NoRepair" 1
    WriteRegStr SHCTX "${TAVRIN_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${TAVRIN_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
!macroend

; Before anything is removed.
!macro TAVRIN_BEFORE_UNINSTALL
    Push $INSTDIR
    Call un.tavrinEnsureClosed
!macroend
