; The Windows installer: the program, the command-line tools, the Qt and MinGW runtime
; libraries and plugins, a Start-menu entry and an uninstaller. makensis -DVERSION=<version>
; -DSTAGE=<folder with the files> -DOUTFILE=<installer>. A silent install: setup.exe /S.
; A 64-bit installer, like the programs it installs.
Target amd64-unicode

Name "ZEPHRANOX PC Software ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\ZEPHRANOX"
InstallDirRegKey HKLM "Software\ZEPHRANOX" "InstallDir"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Icon "${__FILEDIR__}/zephranox.ico"
UninstallIcon "${__FILEDIR__}/zephranox.ico"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZEPHRANOX"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
    ; The Start-menu entry for every user of the machine.
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*.*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateDirectory "$SMPROGRAMS\ZEPHRANOX"
    CreateShortcut "$SMPROGRAMS\ZEPHRANOX\ZEPHRANOX.lnk" "$INSTDIR\zephranox.exe"
    CreateShortcut "$SMPROGRAMS\ZEPHRANOX\Uninstall ZEPHRANOX.lnk" "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "Software\ZEPHRANOX" "InstallDir" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ZEPHRANOX PC Software"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zephranox.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there (the list is written at build time), never the whole
; folder: a user may have chosen one that holds files of their own.
Section "Uninstall"
    SetShellVarContext all
    !include "${STAGE}/../uninstall-files.nsh"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\ZEPHRANOX\ZEPHRANOX.lnk"
    Delete "$SMPROGRAMS\ZEPHRANOX\Uninstall ZEPHRANOX.lnk"
    RMDir "$SMPROGRAMS\ZEPHRANOX"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "Software\ZEPHRANOX"
SectionEnd
