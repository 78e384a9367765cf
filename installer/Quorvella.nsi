; The Windows installer of Quorvella, built with NSIS (makensis 3). It puts the plug-in
; module and its help file into a plug-ins folder of the PDF host, and registers an
; uninstaller that takes exactly those files away again.
;
;   makensis -DVERSION=0.1.0 -DMODULE=Quorvella.api -DHELPFILE=Quorvella.chm
;            -DOUTFILE=Quorvella-0.1.0-setup.exe Quorvella.nsi
;
; setup.exe /S installs silently into the newest host found; setup.exe /S /D=FOLDER into
; FOLDER (NSIS takes /D= as the last argument, unquoted even with spaces). It ends with
; exit status 2, changing nothing, when no host is found or the module there is in use.

!ifndef VERSION | MODULE | HELPFILE | OUTFILE
!error "define VERSION, MODULE, HELPFILE and OUTFILE (see the comment at the top)"
!endif

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Quorvella"
!define UNINSTALLER "Uninstall Quorvella.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvella"
; The host's layout: <program files>\Adobe\Acrobat <version>\Acrobat\plug_ins, where the
; version is <major>.0 from 5.0 to 11.0 and a name after that: 2015, 2017 and 2020 for
; the classic tracks, DC for the continuous one (the newest). A 32-bit installer's
; $PROGRAMFILES is the folder 32-bit programs live in ("Program Files (x86)" on 64-bit
; Windows), where the 32-bit host is.
!define FIRST_HOST_MAJOR 5
!define LAST_HOST_MAJOR 30

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT}"

Var FolderBox
Var NewestHostFolder

!define MUI_ABORTWARNING
Page custom ShowFolderPage LeaveFolderPage
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; $R0: the plug-ins folder of host version $R1 ("" when that version is not installed).
!macro FindHostFolder
    StrCpy $R0 "$PROGRAMFILES\Adobe\Acrobat $R1.0\Acrobat\plug_ins"
    ${IfNot} ${FileExists} "$R0\*.*"
        StrCpy $R0 ""
    ${EndIf}
!macroend

; $R0: the plug-ins folder of the host named NAME ("" when it is not installed).
!macro FindNamedHostFolder NAME
    StrCpy $R0 "$PROGRAMFILES\Adobe\Acrobat ${NAME}\Acrobat\plug_ins"
    ${IfNot} ${FileExists} "$R0\*.*"
        StrCpy $R0 ""
    ${EndIf}
!macroend

!macro NoteNamedHost NAME
    !insertmacro FindNamedHostFolder "${NAME}"
    ${If} $R0 != ""
        StrCpy $NewestHostFolder $R0
    ${EndIf}
!macroend

!macro ListNamedHost NAME
    !insertmacro FindNamedHostFolder "${NAME}"
    ${If} $R0 != ""
        ${NSD_CB_AddString} $FolderBox $R0
    ${EndIf}
!macroend

Function .onInit
    StrCpy $NewestHostFolder ""
    ${For} $R1 ${FIRST_HOST_MAJOR} ${LAST_HOST_MAJOR}
        !insertmacro FindHostFolder
        ${If} $R0 != ""
            StrCpy $NewestHostFolder $R0
        ${EndIf}
    ${Next}
    !insertmacro NoteNamedHost 2015
    !insertmacro NoteNamedHost 2017
    !insertmacro NoteNamedHost 2020
    !insertmacro NoteNamedHost DC
    ; /D= has set $INSTDIR already; otherwise the newest host is the proposal.
    ${If} $INSTDIR == ""
        StrCpy $INSTDIR $NewestHostFolder
    ${EndIf}
    ${If} ${Silent}
    ${AndIf} $INSTDIR == ""
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd

!define NO_HOST_TEXT "Setup found no Adobe Acrobat (5.0 or later) in $PROGRAMFILES\Adobe. Choose the plug_ins folder of your PDF host with Browse..."
!define HOSTS_TEXT "Setup found the plug-ins folders of these Adobe Acrobat versions. Choose the one of the host that should run batch sequences, or another folder with Browse..."
!define COPIES_TEXT "Setup copies Quorvella.api and its help file Quorvella.chm into this folder. Start the host again afterwards: it loads its plug-ins when it starts."

; The folder page: the host plug-ins folders found, in a list the user may also type
; into, and Browse... for any other folder.
Function ShowFolderPage
    !insertmacro MUI_HEADER_TEXT "Choose the plug-ins folder" \
        "Quorvella is a plug-in: it goes into the plug-ins folder of the PDF host."
    nsDialogs::Create 1018
    Pop $0
    ${If} $0 == error
        Abort
    ${EndIf}
    ${If} $NewestHostFolder == ""
        ${NSD_CreateLabel} 0 0 100% 40u "${NO_HOST_TEXT}"
    ${Else}
        ${NSD_CreateLabel} 0 0 100% 40u "${HOSTS_TEXT}"
    ${EndIf}
    Pop $0
    ${NSD_CreateComboBox} 0 44u -72u 12u ""
    Pop $FolderBox
    !insertmacro ListNamedHost DC
    !insertmacro ListNamedHost 2020
    !insertmacro ListNamedHost 2017
    !insertmacro ListNamedHost 2015
    ${ForEach} $R1 ${LAST_HOST_MAJOR} ${FIRST_HOST_MAJOR} - 1
        !insertmacro FindHostFolder
        ${If} $R0 != ""
            ${NSD_CB_AddString} $FolderBox $R0
        ${EndIf}
    ${Next}
    ${NSD_SetText} $FolderBox $INSTDIR
    ${NSD_CreateBrowseButton} -66u 43u 66u 14u "&Browse..."
    Pop $0
    ${NSD_OnClick} $0 BrowseForFolder
    ${NSD_CreateLabel} 0 66u 100% 36u "${COPIES_TEXT}"
    Pop $0
    nsDialogs::Show
FunctionEnd

Function BrowseForFolder
    ${NSD_GetText} $FolderBox $0
    nsDialogs::SelectFolderDialog "Choose the plug-ins folder of the PDF host" $0
    Pop $0
    ${If} $0 != error
        ${NSD_SetText} $FolderBox $0
    ${EndIf}
FunctionEnd

Function LeaveFolderPage
    ${NSD_GetText} $FolderBox $INSTDIR
    ${If} $INSTDIR == ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "Choose a folder for Quorvella first."
        Abort
    ${EndIf}
FunctionEnd

; A module that a running host has loaded cannot be replaced: Windows refuses to open
; it for writing. Asks until it is free, or stops before anything has changed.
!define IN_USE_TEXT "Quorvella.api in $INSTDIR is in use: a PDF host that is running has loaded it.$\r$\n$\r$\nClose Adobe Acrobat (and any other program that uses the plug-in), then choose Retry. Cancel stops here; nothing has been changed."
!macro RefuseModuleInUse un
Function ${un}RefuseModuleInUse
    IfFileExists "$INSTDIR\Quorvella.api" 0 free
retry:
    ClearErrors
    FileOpen $0 "$INSTDIR\Quorvella.api" a
    IfErrors busy
    FileClose $0
    Goto free
busy:
    MessageBox MB_RETRYCANCEL|MB_ICONSTOP "${IN_USE_TEXT}" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
free:
FunctionEnd
!macroend
!insertmacro RefuseModuleInUse ""
!insertmacro RefuseModuleInUse "un."

Section "Quorvella" SecModule
    SectionIn RO
    Call RefuseModuleInUse
    ; The top of the folders this install makes, so that the uninstaller takes away what
    ; it made and never a folder that was there before.
    StrCpy $1 ""
    StrCpy $0 $INSTDIR
    ${Do}
        ${If} $0 == ""
        ${OrIf} ${FileExists} "$0\*.*"
            ${Break}
        ${EndIf}
        StrCpy $1 $0
        ${GetParent} $0 $0
    ${Loop}
    SetOutPath $INSTDIR
    File "/oname=Quorvella.api" "${MODULE}"
    File "/oname=Quorvella.chm" "${HELPFILE}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (PDF host plug-in)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "CreatedFolder" "$1"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/M=Quorvella.* /S=0K /G=0" $0 $2 $3
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Takes away the module, the help file and itself: the user's sequences, batch files
; and other plug-ins stay. A folder goes only when the install made it and it is empty.
Section "Uninstall"
    Call un.RefuseModuleInUse
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "CreatedFolder"
    Delete "$INSTDIR\Quorvella.api"
    Delete "$INSTDIR\Quorvella.chm"
    Delete "$INSTDIR\${UNINSTALLER}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${If} $1 != ""
        StrCpy $0 $INSTDIR
        ${Do}
            RMDir $0
            ${If} $0 == $1
            ${OrIf} ${FileExists} "$0\*.*"
                ${Break}
            ${EndIf}
            ${GetParent} $0 $0
        ${LoopUntil} $0 == ""
    ${EndIf}
SectionEnd
