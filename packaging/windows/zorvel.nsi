; The Zorvel installer: per user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Zorvel, which stays writable so that the program keeps its files beside
; itself. Chinese and English pages; /S installs silently. An upgrade replaces the program and the
; shipped files but keeps config.txt, logs\ and the files the user maintains. The uninstaller
; removes the program, its shortcut, its entry in the installed programs and the start-at-logon
; value; the user's own files go only when the user asks (or with /REMOVEUSERFILES when silent).
;
; makensis -INPUTCHARSET UTF8 -DVERSION=<x.y> -DSOURCE=<portable folder> -DOUTFILE=<setup.exe>
;          -DICON=<zorvel.ico> -DSHIPPED_LIST=<file of Delete lines for the shipped data files> zorvel.nsi

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Zorvel"
!define PRODUCT_ZH "智能语音鼠标"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT} ${PRODUCT_ZH}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Zorvel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${PRODUCT_ZH} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "Pelmora"
VIAddVersionKey /LANG=0 "LegalCopyright" "Pelmora"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_FINISHPAGE_RUN "$INSTDIR\zorvel.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the default (silent installs, Chinese systems); English for the rest.
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "English"

LangString RemoveUserFiles ${LANG_SIMPCHINESE} "是否同时删除您的设置、日志和词库文件（config.txt、logs、commandwords.txt 等）？"
LangString RemoveUserFiles ${LANG_ENGLISH} "Also delete your settings, logs and word lists (config.txt, logs, commandwords.txt and the like)?"
LangString StillRunning ${LANG_SIMPCHINESE} "Zorvel 正在运行。请先从托盘菜单退出 Zorvel，然后点击“重试”。"
LangString StillRunning ${LANG_ENGLISH} "Zorvel is running. Quit it from its tray menu, then press Retry."

; Files the user maintains: written only when missing, never replaced by an upgrade.
!macro UserFile NAME
    IfFileExists "$INSTDIR\${NAME}" +2
    File "${SOURCE}\${NAME}"
!macroend

; A running program holds its files open: ask the user to quit it (silent runs go on; files in use
; are then replaced at the next restart).
!macro WaitForProgramToQuit
    retry:
    ClearErrors
    IfFileExists "$INSTDIR\zorvel.exe" 0 done
    FileOpen $0 "$INSTDIR\zorvel.exe" a
    IfErrors 0 closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
    Goto done
    closed:
    FileClose $0
    done:
!macroend

Function .onInit
    !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Section "Zorvel" SecMain
    SetShellVarContext current
    !insertmacro WaitForProgramToQuit
    SetOutPath "$INSTDIR"
    SetOverwrite on
    File /r /x commandwords.txt /x software.txt /x webSearch.txt /x userwords.txt /x services.ini "${SOURCE}\*.*"
    !insertmacro UserFile commandwords.txt
    !insertmacro UserFile software.txt
    !insertmacro UserFile webSearch.txt
    !insertmacro UserFile userwords.txt
    !insertmacro UserFile services.ini
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Zorvel.lnk" "$INSTDIR\zorvel.exe" "" "$INSTDIR\zorvel.exe" 0 \
        SW_SHOWNORMAL "" "${PRODUCT_ZH}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${PRODUCT_ZH}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Pelmora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zorvel.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "http://www.zorvel.com/mouse"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
    !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Section "Uninstall"
    SetShellVarContext current
    !insertmacro WaitForProgramToQuit
    ; Asked in the dialog; a silent run keeps the files unless /REMOVEUSERFILES is given.
    StrCpy $1 0
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVEUSERFILES" $2
    IfErrors 0 removeUser
    IfSilent keepUser
    MessageBox MB_YESNO|MB_ICONQUESTION "$(RemoveUserFiles)" IDNO keepUser
    removeUser:
    StrCpy $1 1
    keepUser:

    ; The program: what the installer put there, except the user's files.
    Delete "$INSTDIR\zorvel.exe"
    Delete "$INSTDIR\*.dll"
    RMDir /r "$INSTDIR\platforms"
    RMDir /r "$INSTDIR\styles"
    RMDir /r "$INSTDIR\imageformats"
    RMDir /r "$INSTDIR\bearer"
    RMDir /r "$INSTDIR\audio"
    RMDir /r "$INSTDIR\model"
    !include "${SHIPPED_LIST}"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\Zorvel.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "Zorvel"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    StrCmp $1 1 0 +2
    RMDir /r "$INSTDIR"
    ; Only removed when nothing of the user's is left in it.
    RMDir "$INSTDIR"
SectionEnd
