; SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer, in Russian (or English, where Windows is): Tabulon's licence and
; the third-party notices shown before installing; for the current user only (no administrator rights needed, in
; %LOCALAPPDATA%\Programs) or for all users (Program Files); the program's folder, as in the
; zip; a Start-menu entry that starts the program in that folder (help reads readme.html
; from the working directory); an uninstaller registered in "Apps & features".
; It installs or uninstalls nothing while the program runs, replaces the previous version
; by first running that version's own uninstaller, into the same folder, and never skips a
; file it cannot write.
;   makensis -DVERSION=… -DSTAGE=<folder> -DICON=<.ico> -DLICENCE=<LICENSE.txt>
;            -DNOTICES=<THIRD-PARTY-NOTICES.txt> -DOUTFILE=<setup.exe>
;            [-DSIGN=<command that signs the file named after it>]
; Silently: setup.exe /S [/CurrentUser | /AllUsers] [/D=<folder>]; uninstall.exe /S, run
; in place by "_?=<its folder>" as its registered strings run it, so that its exit code is
; its outcome (started without it, it would start a copy of itself and end at once).
; Exit codes: 0 done, 2 cancelled or refused (the program runs), 3 the previous version
; could not be removed, 4 the uninstaller could not remove everything.
Unicode true
Target amd64-unicode
; zlib: its decompressor, which setup.exe and uninstall.exe carry, asks for no notice.
SetCompressor /SOLID zlib
ManifestDPIAware true
AllowSkipFiles off

!define PRODUCT "Tabulon 2x2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabulon2x2"
; Held by the running program (running.cpp), in any session.
!define RUNNING_MUTEX "Global\Tabulon2x2Running"

Name "${PRODUCT} ${VERSION}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "LegalCopyright" "Copyright 2026 The Tabulon 2x2 authors. GPL-3.0-or-later."
!ifdef SIGN
!finalize '${SIGN} "%1"'
!uninstfinalize '${SIGN} "%1" uninstall.exe'
!endif

; The mode and folder of an earlier installation are proposed again.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include "MultiUser.nsh"
!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

; The licence and the notices are for reading, not for agreeing to (the GPL asks for no
; acceptance): their pages go on with "Next".
!define MUI_PAGE_HEADER_TEXT "$(LicenceTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(LicenceSubtitle)"
!define MUI_LICENSEPAGE_TEXT_TOP "$(LicenceTop)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(LicenceBottom)"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!define MUI_PAGE_HEADER_TEXT "$(NoticesTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(NoticesSubtitle)"
!define MUI_LICENSEPAGE_TEXT_TOP "$(NoticesTop)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(NoticesBottom)"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${NOTICES}"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; Russian first: the installer speaks it unless Windows speaks English.
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"
LangString LicenceTitle ${LANG_RUSSIAN} "Лицензия"
LangString LicenceTitle ${LANG_ENGLISH} "Licence"
LangString LicenceSubtitle ${LANG_RUSSIAN} "${PRODUCT} — свободная программа: GNU GPL версии 3 или более поздней."
LangString LicenceSubtitle ${LANG_ENGLISH} "${PRODUCT} is free software: the GNU GPL, version 3 or later."
LangString LicenceTop ${LANG_RUSSIAN} "Прочтите лицензию. Её не нужно принимать."
LangString LicenceTop ${LANG_ENGLISH} "Please read the licence. Nothing needs to be accepted."
LangString LicenceBottom ${LANG_RUSSIAN} "Текст лицензии сохранится в папке программы, в файле LICENSE.txt. Нажмите «Далее», чтобы продолжить."
LangString LicenceBottom ${LANG_ENGLISH} "The licence stays in the program's folder, in LICENSE.txt. Click Next to continue."
LangString NoticesTitle ${LANG_RUSSIAN} "Сведения о стороннем программном обеспечении"
LangString NoticesTitle ${LANG_ENGLISH} "Third-party software notices"
LangString NoticesSubtitle ${LANG_RUSSIAN} "Лицензии библиотек, входящих в ${PRODUCT}."
LangString NoticesSubtitle ${LANG_ENGLISH} "The licences of the libraries that come with ${PRODUCT}."
LangString NoticesTop ${LANG_RUSSIAN} "Прочтите сведения о лицензиях. Их не нужно принимать."
LangString NoticesTop ${LANG_ENGLISH} "Please read the licence notices. Nothing needs to be accepted."
LangString NoticesBottom ${LANG_RUSSIAN} "Эти сведения сохранятся в папке программы, в файле THIRD-PARTY-NOTICES.txt. Нажмите «Далее», чтобы продолжить."
LangString NoticesBottom ${LANG_ENGLISH} "These notices stay in the program's folder, in THIRD-PARTY-NOTICES.txt. Click Next to continue."
LangString ShortcutComment ${LANG_RUSSIAN} "Связь в таблице 2×2: точный метод Фишера или хи-квадрат с поправкой Йейтса"
LangString ShortcutComment ${LANG_ENGLISH} "Association in a 2×2 table: Fisher's exact test or the chi-square test with Yates' correction"
LangString CloseProgram ${LANG_RUSSIAN} "Программа ${PRODUCT} запущена. Закройте её и нажмите «Повтор»."
LangString CloseProgram ${LANG_ENGLISH} "${PRODUCT} is running. Close it, then click Retry."
LangString PreviousKept ${LANG_RUSSIAN} "Не удалось удалить предыдущую версию ${PRODUCT}. Установка прервана."
LangString PreviousKept ${LANG_ENGLISH} "The previous version of ${PRODUCT} could not be removed. Nothing was installed."

; Waits until the program no longer runs, asking the user to close it; silently, or when the
; user cancels, ends with exit code 2 before anything is touched.
!macro WAIT_UNTIL_CLOSED un
    Function ${un}WaitUntilClosed
        check:
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0 ?e'
        Pop $1
        StrCmp $0 0 +3
        System::Call 'kernel32::CloseHandle(p r0)'
        Goto running
        ; Another user's copy runs too where its mutex denies this user access (error 5).
        StrCmp $1 5 running closed
        running:
        IfSilent refuse
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseProgram)" IDRETRY check
        refuse:
        SetErrorLevel 2
        Quit
        closed:
    FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

Function .onInit
    ; A folder given with /D= is kept: the mode's default would replace it.
    StrCpy $R9 $INSTDIR
    !insertmacro MULTIUSER_INIT
    ${IfThen} $R9 != "" ${|} StrCpy $INSTDIR $R9 ${|}
    Call WaitUntilClosed
FunctionEnd

Function un.onInit
    ; A copy in the temporary folder, started by the uninstaller as it ends (un.RemoveSelf).
    ${un.GetParameters} $R0
    ClearErrors
    ${un.GetOptions} $R0 "/RemoveAfter=" $R1
    ${IfNot} ${Errors}
        Call un.RemoveAfterExit
        Quit
    ${EndIf}
    !insertmacro MULTIUSER_UNINIT
    Call un.WaitUntilClosed
FunctionEnd

; The previous version goes first, by its own uninstaller, which knows what it installed.
Function RemovePrevious
    ReadRegStr $R0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
    ${IfThen} $R0 == "" ${|} Return ${|}
    ${IfNotThen} ${FileExists} "$R0\uninstall.exe" ${|} Return ${|}
    ClearErrors
    ExecWait '"$R0\uninstall.exe" /S /$MultiUser.InstallMode _?=$R0' $R1
    ${If} ${Errors}
    ${OrIf} $R1 != 0
        MessageBox MB_OK|MB_ICONSTOP "$(PreviousKept)" /SD IDOK
        SetErrorLevel 3
        Quit
    ${EndIf}
    ; Its own file may still go once it has ended: gone before this version's is written.
    ${For} $R1 1 100
        Delete "$R0\uninstall.exe"
        ${IfNotThen} ${FileExists} "$R0\uninstall.exe" ${|} ${Break} ${|}
        Sleep 100
    ${Next}
FunctionEnd

Function StartProgram
    ; Started in its folder, where help finds readme.html.
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\tabulon2x2.exe"'
FunctionEnd

Section
    Call RemovePrevious
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut's working folder is the output path set above: the program's folder.
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tabulon2x2.exe" "" \
        "$INSTDIR\tabulon2x2.exe" 0 SW_SHOWNORMAL "" "$(ShortcutComment)"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tabulon2x2.exe"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    ; Run in place ("_?=", last and unquoted), the uninstaller ends with its outcome, for the
    ; tool that waits for it; one that adds /S to UninstallString adds it after the folder,
    ; where the uninstaller still sees it, and takes the folder from the registry.
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" \
        '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode _?=$INSTDIR'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" \
        '"$INSTDIR\uninstall.exe" /S /$MultiUser.InstallMode _?=$INSTDIR'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    !tempfile STEPS
    ; makensis works in the script's own folder.
    !system 'sh uninstall-steps.sh "${STAGE}" >"${STEPS}"' = 0
    !include "${STEPS}"
    !delfile "${STEPS}"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"
    Call un.RemoveSelf
SectionEnd

; Run in place, the uninstaller cannot delete its own file while it runs. Windows lets it
; move the file into the temporary folder, to be deleted at the next start of Windows where
; the rights allow (as NSIS deletes its own temporary copy); where that fails (under Wine),
; a copy of it there deletes the file and the folder as soon as this process has ended.
; Anything else left is a failure, exit code 4.
Function un.RemoveSelf
    Delete "$INSTDIR\uninstall.exe"
    ${If} ${FileExists} "$INSTDIR\uninstall.exe"
        GetTempFileName $0
        Delete $0
        Rename "$INSTDIR\uninstall.exe" $0
        ; MoveFileEx(file, none, MOVEFILE_DELAY_UNTIL_REBOOT)
        System::Call 'kernel32::MoveFileExW(w r0, p 0, i 4)'
    ${EndIf}
    RMDir "$INSTDIR"
    ${IfNotThen} ${FileExists} "$INSTDIR\*.*" ${|} Return ${|}
    ; What is left, its own file aside.
    StrCpy $0 ""
    FindFirst $1 $2 "$INSTDIR\*.*"
    ${DoWhile} $2 != ""
        ${If} $2 != "."
        ${AndIf} $2 != ".."
        ${AndIf} $2 != "uninstall.exe"
            StrCpy $0 $2
        ${EndIf}
        FindNext $1 $2
    ${Loop}
    FindClose $1
    ${If} $0 != ""
        SetErrorLevel 4
        Return
    ${EndIf}
    GetTempFileName $0
    CopyFiles /SILENT "$EXEPATH" $0
    Exec '"$0" /S /RemoveAfter="$INSTDIR" _?=$TEMP'
FunctionEnd

; Deletes the uninstaller in the folder $R1 once it has ended, and the folder.
Function un.RemoveAfterExit
    ${For} $R2 1 300
        Delete "$R1\uninstall.exe"
        ${IfNotThen} ${FileExists} "$R1\uninstall.exe" ${|} ${Break} ${|}
        Sleep 100
    ${Next}
    RMDir "$R1"
    System::Call 'kernel32::MoveFileExW(w "$EXEPATH", p 0, i 4)'
FunctionEnd
