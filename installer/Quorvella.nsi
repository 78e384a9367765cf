; The Windows installer of Quorvella, built with NSIS (makensis 3). It carries the plug-in
; module for 32-bit hosts and the one for the 64-bit host, puts the one that matches the
; chosen host and the help file into that host's plug-ins folder, and registers an
; uninstaller of that folder's own, which takes exactly those files away again.
;
;   makensis -DVERSION=0.2.0 -DMODULE_X86=x86\Quorvella.api -DMODULE_X64=x64\Quorvella.api
;            -DHELPFILE=Quorvella.chm -DOUTFILE=Quorvella-0.2.0-setup.exe Quorvella.nsi
;
; setup.exe /S installs silently into the newest host found; setup.exe /S /D=FOLDER into
; FOLDER (NSIS takes /D= as the last argument, unquoted even with spaces). Beside a folder
; without an Acrobat.exe, /X64 installs the 64-bit module, /X86 (the default) the 32-bit
; one. It ends with exit status 2, changing nothing, when no host is found, the host is one
; that neither module serves, or the module there is in use.

!ifndef VERSION | MODULE_X86 | MODULE_X64 | HELPFILE | OUTFILE
!error "define VERSION, MODULE_X86, MODULE_X64, HELPFILE and OUTFILE (see the comment at the top)"
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
!define UNINSTALL_ROOT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
; Each install folder has an entry of its own, "Quorvella-<n>". 0.1.0 registered every
; install under the one entry "Quorvella"; such an entry is taken over by an install into
; its folder. No entry of ours is named "Quorvella" any more: a 0.1.0 uninstaller removes
; that one, whichever folder it names.
!define ENTRY_PREFIX "Quorvella-"
!define OLD_SHARED_ENTRY "Quorvella"
; The host's layout: <program files>\Adobe\Acrobat <version>\Acrobat\plug_ins, where the
; version is <major>.0 from 5.0 to 11.0 and a name after that: 2015, 2017 and 2020 for
; the classic tracks, DC for the continuous one (the newest). 32-bit hosts live in the
; program-files folder of 32-bit programs ("Program Files (x86)" on 64-bit Windows), the
; 64-bit host (DC since 2021) in the 64-bit one.
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
Var HostList   ; "Acrobat DC (64-bit), Acrobat 2017 (32-bit)": the hosts found
Var ModuleBits ; x86 or x64: the module this install puts into $INSTDIR

!define PROTECTED_MODE_TEXT "A host that runs its plug-ins in Protected Mode may refuse a batch run's saves, file actions and programs (the audit trail then says so); an administrator lets batch runs through by turning off $\"Enable Protected Mode at startup$\" (Edit > Preferences > Security (Enhanced)) for the account that runs the batch files."
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TEXT "Quorvella is installed in $INSTDIR. Start the host again: it loads its plug-ins when it starts.$\r$\n$\r$\n${PROTECTED_MODE_TEXT}"
Page custom ShowFolderPage LeaveFolderPage
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; $R0: path $R0 in full, with no "." or ".." parts and no doubled or trailing separator (a
; drive's root keeps its own).
!macro FullPath un
Function ${un}FullPath
    Push $0
    Push $1
    System::Call 'kernel32::GetFullPathNameW(w R0, i ${NSIS_MAX_STRLEN}, w .r0, p 0) i .r1'
    ${If} $1 > 0
    ${AndIf} $1 < ${NSIS_MAX_STRLEN}
        StrCpy $R0 $0
    ${EndIf}
    ${Do}
        StrCpy $0 $R0 1 -1
        StrLen $1 $R0
        ${If} $0 != "\"
        ${OrIf} $1 <= 3
            ${Break}
        ${EndIf}
        StrCpy $R0 $R0 -1
    ${Loop}
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro FullPath ""
!insertmacro FullPath "un."

; $R0: folder $R0 by its final path, so that every spelling of one folder reads the same:
; its full path's deepest part that exists as the file system names it (links, junctions
; and short names resolved, its letter case on disk), then the parts still to be made as
; given. == ignores letter case.
!macro FinalPath un
Function ${un}FinalPath
    ${If} $R0 == ""
        Return
    ${EndIf}
    Call ${un}FullPath
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    ; $0: the deepest part that exists; $2: the parts after it.
    StrCpy $0 $R0
    StrCpy $2 ""
    ${Do}
        ${If} ${FileExists} "$0\*.*"
            ${Break}
        ${EndIf}
        ${GetFileName} $0 $1
        StrCpy $2 "\$1$2"
        ${GetParent} $0 $0
    ${LoopUntil} $0 == ""
    ${If} $0 != ""
        ; "C:" alone is the current folder of drive C.
        StrCpy $1 $0 1 -1
        ${If} $1 == ":"
            StrCpy $0 "$0\"
        ${EndIf}
        ; A folder opens with FILE_FLAG_BACKUP_SEMANTICS; its final path is "\\?\C:\..."
        ; or "\\?\UNC\server\share\...".
        StrCpy $3 ""
        System::Call 'kernel32::CreateFileW(w r0, i 0, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
        ${If} $1 <> -1
            System::Call 'kernel32::GetFinalPathNameByHandleW(p r1, w .r3, i ${NSIS_MAX_STRLEN}, i 0) i .r4'
            System::Call 'kernel32::CloseHandle(p r1)'
            ${If} $4 = 0
            ${OrIf} $4 >= ${NSIS_MAX_STRLEN}
                StrCpy $3 ""
            ${EndIf}
        ${EndIf}
        StrCpy $1 $3 8
        StrCpy $4 $3 4
        ${If} $1 == "\\?\UNC\"
            StrCpy $3 $3 "" 8
            StrCpy $3 "\\$3"
        ${ElseIf} $4 == "\\?\"
            StrCpy $3 $3 "" 4
        ${EndIf}
        ; Where that fails (a file system without final paths), long names at least.
        ${If} $3 == ""
            System::Call 'kernel32::GetLongPathNameW(w r0, w .r3, i ${NSIS_MAX_STRLEN}) i .r4'
            ${If} $4 = 0
            ${OrIf} $4 >= ${NSIS_MAX_STRLEN}
                StrCpy $3 $0
            ${EndIf}
        ${EndIf}
        StrCpy $1 $3 1 -1
        ${If} $1 == "\"
        ${AndIf} $2 != ""
            StrCpy $3 $3 -1
        ${EndIf}
        StrCpy $R0 "$3$2"
    ${EndIf}
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro FinalPath ""
!insertmacro FinalPath "un."

; $R2: what the Acrobat.exe beside plug-ins folder $R0 is built for, read from the COFF
; Machine field of its PE header (never from the folder's name): "x86", "x64", "arm64",
; "other" (another processor), or "none" (no Acrobat.exe there, or not a Windows program).
!macro ReadHostBitness un
Function ${un}ReadHostBitness
    Push $0
    Push $1
    Push $2
    Push $3
    StrCpy $R2 "none"
    ${GetParent} $R0 $1
    ClearErrors
    FileOpen $0 "$1\Acrobat.exe" r
    ${IfNot} ${Errors}
        FileReadByte $0 $1
        FileReadByte $0 $2
        ${If} $1 = 77 ; "MZ"
        ${AndIf} $2 = 90
            ; The PE header's offset, little-endian at 0x3C.
            FileSeek $0 0x3C SET
            FileReadByte $0 $1
            FileReadByte $0 $2
            IntOp $2 $2 << 8
            IntOp $1 $1 | $2
            FileReadByte $0 $2
            IntOp $2 $2 << 16
            IntOp $1 $1 | $2
            FileReadByte $0 $2
            IntOp $2 $2 << 24
            IntOp $1 $1 | $2
            FileSeek $0 $1 SET
            ; "PE\0\0", then the Machine field.
            FileReadByte $0 $1
            FileReadByte $0 $2
            FileReadByte $0 $3
            IntOp $1 $1 - 80
            IntOp $2 $2 - 69
            IntOp $1 $1 | $2
            IntOp $1 $1 | $3
            FileReadByte $0 $3
            IntOp $1 $1 | $3
            FileReadByte $0 $2
            FileReadByte $0 $3
            IntOp $3 $3 << 8
            IntOp $2 $2 | $3
            ${IfNot} ${Errors}
            ${AndIf} $1 = 0
                ${If} $2 = 0x014C
                    StrCpy $R2 "x86"
                ${ElseIf} $2 = 0x8664
                    StrCpy $R2 "x64"
                ${ElseIf} $2 = 0xAA64
                    StrCpy $R2 "arm64"
                ${Else}
                    StrCpy $R2 "other"
                ${EndIf}
            ${EndIf}
        ${EndIf}
        FileClose $0
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd
!macroend
!insertmacro ReadHostBitness ""

; $R3: bitness $R2 in words.
Function DescribeBitness
    ${If} $R2 == "x86"
        StrCpy $R3 "32-bit"
    ${ElseIf} $R2 == "x64"
        StrCpy $R3 "64-bit"
    ${ElseIf} $R2 == "arm64"
        StrCpy $R3 "ARM64"
    ${ElseIf} $R2 == "other"
        StrCpy $R3 "not for x86 or x64"
    ${Else}
        StrCpy $R3 "no Acrobat.exe beside it"
    ${EndIf}
FunctionEnd

; Calls the function at address $R9 with $R0, the plug-ins folder, and $R1, the version
; name, for every host found, the newest first; a version found in both program-files
; folders, the 64-bit one first. $R9, $R1, $R4 and $R5 are the walk's own.
Function VisitHostVersion
    StrCpy $R0 "$PROGRAMFILES64\Adobe\Acrobat $R1\Acrobat\plug_ins"
    ${If} ${FileExists} "$R0\*.*"
        Call $R9
    ${EndIf}
    ; On 32-bit Windows both names are the one folder.
    ${If} $PROGRAMFILES32 != $PROGRAMFILES64
        StrCpy $R0 "$PROGRAMFILES32\Adobe\Acrobat $R1\Acrobat\plug_ins"
        ${If} ${FileExists} "$R0\*.*"
            Call $R9
        ${EndIf}
    ${EndIf}
FunctionEnd

Function ForEachHost
    ${For} $R5 0 3
        ${Select} $R5
        ${Case} 0
            StrCpy $R1 "DC"
        ${Case} 1
            StrCpy $R1 "2020"
        ${Case} 2
            StrCpy $R1 "2017"
        ${Case} 3
            StrCpy $R1 "2015"
        ${EndSelect}
        Call VisitHostVersion
    ${Next}
    ${ForEach} $R4 ${LAST_HOST_MAJOR} ${FIRST_HOST_MAJOR} - 1
        StrCpy $R1 "$R4.0"
        Call VisitHostVersion
    ${Next}
FunctionEnd

Function NoteHost
    ${If} $NewestHostFolder == ""
        StrCpy $NewestHostFolder $R0
    ${Else}
        StrCpy $HostList "$HostList, "
    ${EndIf}
    Call ReadHostBitness
    Call DescribeBitness
    StrCpy $HostList "$HostListAcrobat $R1 ($R3)"
FunctionEnd

Function ListHost
    ${NSD_CB_AddString} $FolderBox $R0
FunctionEnd

; Sets $INSTDIR in full (a separator at its end would make "beside it" its own inside) and
; $ModuleBits for it when the Acrobat.exe beside it tells; "ask" when there is none,
; "refuse" when it is a host that neither module serves. Beside the folder as named, not
; its final path: a plug-ins folder that links elsewhere is still its host's.
Function ChooseModuleForFolder
    StrCpy $R0 $INSTDIR
    Call FullPath
    StrCpy $INSTDIR $R0
    Call ReadHostBitness
    ${If} $R2 == "x86"
    ${OrIf} $R2 == "x64"
        StrCpy $ModuleBits $R2
    ${ElseIf} $R2 == "none"
        StrCpy $ModuleBits "ask"
    ${Else}
        StrCpy $ModuleBits "refuse"
    ${EndIf}
FunctionEnd

Function .onInit
    SetRegView 32
    StrCpy $NewestHostFolder ""
    StrCpy $HostList ""
    GetFunctionAddress $R9 NoteHost
    Call ForEachHost
    ; /D= has set $INSTDIR already; otherwise the newest host is the proposal.
    ${If} $INSTDIR == ""
        StrCpy $INSTDIR $NewestHostFolder
    ${EndIf}
    ${If} ${Silent}
        ${If} $INSTDIR == ""
            SetErrorLevel 2
            Quit
        ${EndIf}
        Call ChooseModuleForFolder
        ${If} $ModuleBits == "ask"
            ${GetParameters} $0
            ClearErrors
            ${GetOptions} $0 "/X64" $1
            ${If} ${Errors}
                StrCpy $ModuleBits "x86"
            ${Else}
                StrCpy $ModuleBits "x64"
            ${EndIf}
        ${ElseIf} $ModuleBits == "refuse"
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

!define NO_HOST_TEXT "Setup found no Adobe Acrobat (5.0 or later) in $PROGRAMFILES64\Adobe or $PROGRAMFILES32\Adobe. Choose the plug_ins folder of your PDF host with Browse..."
!define HOSTS_TEXT "Setup found these Adobe Acrobat hosts: $HostList. Choose the plug-ins folder of the one that should run batch sequences, or another folder with Browse..."
!define COPIES_TEXT "Setup copies Quorvella.api, the module of the host's bitness (by the Acrobat.exe beside the folder), and its help file Quorvella.chm into this folder. Start the host again afterwards: it loads its plug-ins when it starts."
!define ASK_BITS_TEXT "There is no Acrobat.exe beside $INSTDIR, so Setup cannot tell which host the folder belongs to. A host loads only a module of its own bitness: Acrobat DC on 64-bit Windows (since 2021) is 64-bit; Acrobat 5.0 to 11.0, 2015, 2017, 2020 and the 32-bit DC are 32-bit.$\r$\n$\r$\nYes installs the 64-bit module, No the 32-bit one. Cancel goes back to the choice of folder."
!define REFUSED_HOST_TEXT "The Acrobat.exe beside $INSTDIR is $R3. Quorvella has modules for 32-bit and 64-bit (x64) hosts only, and this host could load neither. Choose another folder."

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
        ${NSD_CreateLabel} 0 0 100% 48u "${NO_HOST_TEXT}"
    ${Else}
        ${NSD_CreateLabel} 0 0 100% 48u "${HOSTS_TEXT}"
    ${EndIf}
    Pop $0
    ${NSD_CreateComboBox} 0 52u -72u 12u ""
    Pop $FolderBox
    GetFunctionAddress $R9 ListHost
    Call ForEachHost
    ${NSD_SetText} $FolderBox $INSTDIR
    ${NSD_CreateBrowseButton} -66u 51u 66u 14u "&Browse..."
    Pop $0
    ${NSD_OnClick} $0 BrowseForFolder
    ${NSD_CreateLabel} 0 74u 100% 36u "${COPIES_TEXT}"
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
    Call ChooseModuleForFolder
    ${If} $ModuleBits == "ask"
        MessageBox MB_YESNOCANCEL|MB_ICONQUESTION "${ASK_BITS_TEXT}" IDYES chose_x64 IDNO chose_x86
        Abort
    chose_x64:
        StrCpy $ModuleBits "x64"
        Return
    chose_x86:
        StrCpy $ModuleBits "x86"
    ${ElseIf} $ModuleBits == "refuse"
        Call DescribeBitness
        MessageBox MB_OK|MB_ICONSTOP "${REFUSED_HOST_TEXT}"
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

; Removes every uninstall entry of ours, in either registry view, whose install location is
; folder $INSTDIR (a final path) by any spelling (0.1.0's shared entry among them); $R5: the
; folder the first of them says its install made, by its final path ("" when none did).
; The installer removes as well every entry whose uninstaller is gone (its folder went
; with its host, or its files were deleted): it can take nothing away any more, and
; Windows would list it for good. Leaves the 32-bit view set; changes $R0.
!macro RemoveEntriesOfFolder un
Function ${un}RemoveEntriesOfFolder
    StrCpy $R5 ""
    ${For} $R8 0 1
        ${If} $R8 = 0
            SetRegView 32
        ${Else}
            SetRegView 64
        ${EndIf}
        StrCpy $R7 0
        ${Do}
            EnumRegKey $R6 HKLM "${UNINSTALL_ROOT}" $R7
            ${If} $R6 == ""
                ${Break}
            ${EndIf}
            IntOp $R7 $R7 + 1
            StrLen $0 "${ENTRY_PREFIX}"
            StrCpy $0 $R6 $0
            ${If} $0 == "${ENTRY_PREFIX}"
            ${OrIf} $R6 == "${OLD_SHARED_ENTRY}"
                ReadRegStr $R0 HKLM "${UNINSTALL_ROOT}\$R6" "InstallLocation"
                Call ${un}FinalPath
                StrCpy $0 "other"
                ${If} $R0 == $INSTDIR
                    StrCpy $0 "same"
                    ${If} $R5 == ""
                        ReadRegStr $R5 HKLM "${UNINSTALL_ROOT}\$R6" "CreatedFolder"
                    ${EndIf}
!if "${un}" == ""
                ${ElseIf} $R0 != ""
                ${AndIfNot} ${FileExists} "$R0\${UNINSTALLER}"
                    StrCpy $0 "dead"
!endif
                ${EndIf}
                ${If} $0 != "other"
                    DeleteRegKey HKLM "${UNINSTALL_ROOT}\$R6"
                    ; The keys after it have moved up by one.
                    StrCpy $R7 0
                ${EndIf}
            ${EndIf}
        ${Loop}
    ${Next}
    SetRegView 32
    StrCpy $R0 $R5
    Call ${un}FinalPath
    StrCpy $R5 $R0
FunctionEnd
!macroend
!insertmacro RemoveEntriesOfFolder ""
!insertmacro RemoveEntriesOfFolder "un."

; $R6: the first "Quorvella-<n>" that names no entry in either registry view.
Function FindFreeEntryName
    StrCpy $R7 1
    ${Do}
        StrCpy $R6 "${ENTRY_PREFIX}$R7"
        SetRegView 32
        ClearErrors
        EnumRegValue $0 HKLM "${UNINSTALL_ROOT}\$R6" 0
        ${If} ${Errors}
            SetRegView 64
            ClearErrors
            EnumRegValue $0 HKLM "${UNINSTALL_ROOT}\$R6" 0
            ${If} ${Errors}
                ${Break}
            ${EndIf}
        ${EndIf}
        IntOp $R7 $R7 + 1
    ${Loop}
    SetRegView 32
FunctionEnd

Section "Quorvella" SecModule
    SectionIn RO
    ; The install works on the folder's final path, which its entry records.
    StrCpy $R0 $INSTDIR
    Call FinalPath
    StrCpy $INSTDIR $R0
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
    ; An install already here, by whichever spelling of the folder its entry has (0.2.0,
    ; or 0.1.0 under its shared entry), is replaced in place; what it made stays this
    ; install's to take away.
    Call RemoveEntriesOfFolder
    ${If} $R5 != ""
        StrCpy $1 $R5
    ${EndIf}
    SetOutPath $INSTDIR
    ${If} $ModuleBits == "x64"
        DetailPrint "The 64-bit module, for a 64-bit host"
        File "/oname=Quorvella.api" "${MODULE_X64}"
        StrCpy $2 "64-bit"
    ${Else}
        DetailPrint "The 32-bit module, for a 32-bit host"
        File "/oname=Quorvella.api" "${MODULE_X86}"
        StrCpy $2 "32-bit"
    ${EndIf}
    File "/oname=Quorvella.chm" "${HELPFILE}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"

    ; An entry in the registry view of the module's bitness, as Windows keeps them.
    Call FindFreeEntryName
    ${If} $ModuleBits == "x64"
        SetRegView 64
    ${EndIf}
    !define KEY "${UNINSTALL_ROOT}\$R6"
    WriteRegStr HKLM "${KEY}" "DisplayName" "${PRODUCT} ${VERSION} (PDF host plug-in, $2) in $INSTDIR"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegStr HKLM "${KEY}" "CreatedFolder" "$1"
    WriteRegStr HKLM "${KEY}" "ModuleBitness" "$2"
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/M=Quorvella.* /S=0K /G=0" $0 $3 $4
    WriteRegDWORD HKLM "${KEY}" "EstimatedSize" $0
    !undef KEY
    SetRegView 32
SectionEnd

; Takes away the module, the help file and itself: the user's sequences, batch files
; and other plug-ins stay, and so does every other install. A folder goes only when this
; install made it and it is empty.
Section "Uninstall"
    ; Started by any spelling of its folder (a link to it, a short name), it works on the
    ; folder's final path, which its entry and the folders it made are named by.
    StrCpy $R0 $INSTDIR
    Call un.FinalPath
    StrCpy $INSTDIR $R0
    Call un.RefuseModuleInUse
    Call un.RemoveEntriesOfFolder
    Delete "$INSTDIR\Quorvella.api"
    Delete "$INSTDIR\Quorvella.chm"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only a folder made by the install is taken: $INSTDIR itself or one above it.
    StrLen $0 $R5
    StrCpy $1 "$INSTDIR\" $0
    StrCpy $2 "$INSTDIR\" 1 $0
    ${If} $R5 != ""
    ${AndIf} $1 == $R5
    ${AndIf} $2 == "\"
        StrCpy $0 $INSTDIR
        ${Do}
            RMDir $0
            ${If} $0 == $R5
            ${OrIf} ${FileExists} "$0\*.*"
                ${Break}
            ${EndIf}
            ${GetParent} $0 $0
        ${LoopUntil} $0 == ""
    ${EndIf}
SectionEnd
