; The TK42-R Limiter's Windows installer, built with makensis by
; make-windows.sh, which defines VERSION, STAGE (the zip's tree), FILES (the
; generated macros that install and remove each folder of that tree) and
; OUTFILE.
;
; Each plug-in format goes where hosts look for it without any set-up: VST3
; into Common Files\VST3, CLAP into Common Files\CLAP, the VST 2.4 DLL into a
; VST 2 folder the user chooses (there is no standard one); tk42host, the
; README, the licence and the uninstaller into Program Files\TK42-R.
; Silent: setup.exe /S [/VST2DIR=FOLDER], uninstall.exe /S.

Unicode true
; A 64-bit installer: the plug-ins are 64-bit, and a 64-bit process sees the
; 64-bit folders and registry without redirection.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include "${FILES}"

!define PRODUCT "TK42-R Limiter"
!define PUBLISHER "the TK42-R Limiter authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TK42-R"
!define SETTINGS_KEY "Software\TK42-R"
!define CLAP_DIR "$COMMONFILES64\CLAP"
!define VST3_DIR "$COMMONFILES64\VST3"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TK42-R"
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "MIT licence, ${PUBLISHER}"

; The VST 2 folder: the last install's, or the common default.
Var Vst2Dir

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipVst2PageUnlessChosen
!define MUI_PAGE_HEADER_TEXT "VST 2 plug-in folder"
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder your DAW scans for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will install TK42R_x64.dll, the VST 2.4 plug-in, into this folder. To use another folder, click Browse and select it; add it to your DAW's VST 2 plug-in folders if it scans others."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "VST 2 plug-in folder"
!define MUI_DIRECTORYPAGE_VARIABLE $Vst2Dir
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
  ReadRegStr $Vst2Dir HKLM "${SETTINGS_KEY}" "VST2Folder"
  ${If} $Vst2Dir == ""
    StrCpy $Vst2Dir "$PROGRAMFILES64\VSTPlugins"
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/VST2DIR=" $1
  ${IfNot} ${Errors}
    ; A full path: a drive (C:\...) or a share (\\server\...).
    StrCpy $2 $1 2 1
    StrCpy $3 $1 2
    ${If} $2 != ":\"
    ${AndIf} $3 != "\\"
      ${If} ${Silent}
        SetErrorLevel 2
        Quit
      ${EndIf}
      MessageBox MB_OK|MB_ICONEXCLAMATION "/VST2DIR needs a full path, such as C:\VSTPlugins; $\"$1$\" is not one."
    ${Else}
      StrCpy $Vst2Dir $1
    ${EndIf}
  ${EndIf}
FunctionEnd

; tk42host, the README, the licence, the uninstaller and its entry in the
; list of programs: always.
Section "-program"
  SetRegView 64
  !insertmacro TK42_INSTALL_TOP "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

!ifdef TK42_HAS_VST2
Section "VST 2.4 plug-in" SEC_VST2
  SetRegView 64
  ; A previous install into another VST 2 folder: take its DLL away, so that
  ; hosts scanning both do not find two.
  ReadRegStr $0 HKLM "${SETTINGS_KEY}" "VST2Folder"
  ${If} $0 != ""
  ${AndIf} $0 != $Vst2Dir
    !insertmacro TK42_REMOVE_VST2 "$0"
    RMDir "$0"
  ${EndIf}
  !insertmacro TK42_INSTALL_VST2 "$Vst2Dir"
  WriteRegStr HKLM "${SETTINGS_KEY}" "VST2Folder" "$Vst2Dir"
SectionEnd
!endif

!ifdef TK42_HAS_VST3
Section "VST3 plug-in" SEC_VST3
  !insertmacro TK42_INSTALL_VST3 "${VST3_DIR}"
SectionEnd
!endif

!ifdef TK42_HAS_CLAP
Section "CLAP plug-in" SEC_CLAP
  !insertmacro TK42_INSTALL_CLAP "${CLAP_DIR}"
SectionEnd
!endif

; The size the list of programs shows: every chosen section's, in KB.
Section "-size"
  SetRegView 64
  StrCpy $1 0
  StrCpy $2 0
  ${Do}
    ClearErrors
    SectionGetFlags $2 $3
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    ${If} ${SectionIsSelected} $2
      SectionGetSize $2 $3
      IntOp $1 $1 + $3
    ${EndIf}
    IntOp $2 $2 + 1
  ${Loop}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Function SkipVst2PageUnlessChosen
!ifdef TK42_HAS_VST2
  ${IfNot} ${SectionIsSelected} ${SEC_VST2}
    Abort
  ${EndIf}
!else
  Abort
!endif
FunctionEnd

Function un.onInit
  SetRegView 64
  ReadRegStr $Vst2Dir HKLM "${SETTINGS_KEY}" "VST2Folder"
FunctionEnd

; Removes every file the installer may have put in place (whichever
; sections were chosen), then the folders it made if they are empty.
Section "Uninstall"
  SetRegView 64
!ifdef TK42_HAS_VST2
  ${If} $Vst2Dir != ""
    !insertmacro TK42_REMOVE_VST2 "$Vst2Dir"
  ${EndIf}
!endif
!ifdef TK42_HAS_VST3
  !insertmacro TK42_REMOVE_VST3 "${VST3_DIR}"
!endif
!ifdef TK42_HAS_CLAP
  !insertmacro TK42_REMOVE_CLAP "${CLAP_DIR}"
!endif
  ; The plug-in folders too, where nothing else is left in them.
  ${If} $Vst2Dir != ""
    RMDir "$Vst2Dir"
  ${EndIf}
  RMDir "${VST3_DIR}"
  RMDir "${CLAP_DIR}"
  !insertmacro TK42_REMOVE_TOP "$INSTDIR"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd
