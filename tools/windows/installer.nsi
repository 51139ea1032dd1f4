; The Windows installer, in Russian (or English, where Windows is): the third-party
; notices shown before installing, the program's folder (as in the zip) in Program Files,
; a Start-menu entry that starts the program in that folder (help reads readme.html from
; the working directory), and an uninstaller registered in "Apps & features".
; makensis -DVERSION=… -DSTAGE=<folder> -DICON=<.ico> -DUNINSTALL_FILES=<list>
;          -DNOTICES=<THIRD-PARTY-NOTICES.txt> -DOUTFILE=<setup.exe>
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Tabulon 2x2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabulon2x2"

Name "${PRODUCT} ${VERSION}"
BrandingText "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

; The notices are for reading, not for agreeing to: the page goes on with "Next".
!define MUI_PAGE_HEADER_TEXT "$(NoticesTitle)"
!define MUI_PAGE_HEADER_SUBTEXT "$(NoticesSubtitle)"
!define MUI_LICENSEPAGE_TEXT_TOP "$(NoticesTop)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(NoticesBottom)"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${NOTICES}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; Russian first: the installer speaks it unless Windows speaks English.
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"
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

Section
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    ; The shortcut's working folder is the output path set above: the program's folder.
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tabulon2x2.exe" "" "$INSTDIR\tabulon2x2.exe" 0 \
        SW_SHOWNORMAL "" "$(ShortcutComment)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tabulon2x2.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    !include "${UNINSTALL_FILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
