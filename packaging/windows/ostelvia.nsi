; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer of Ostelvia, built by scripts/windows-dist:
;   makensis -DVERSION=0.1 -DVERSION4=0.1.0.0 -DSTAGE=<the portable folder>
;            -DFILES_NSH=<its files> -DUNINSTALL_NSH=<their removal>
;            -DOUTFILE=<setup.exe> ostelvia.nsi
;
; Installs the portable folder into Program Files, asks for the front-office
; folder (the one holding Scheda_Cliente.mdb) and makes it the working folder
; of the Start-menu entry, so the program opens on the right databases.
;
; For scripts: Ostelvia-VERSION-setup.exe /S [/CARTELLA=C:\Ricevimento] [/D=C:\Ostelvia]
; (/D= last on the line and without quotes, as NSIS wants it). A /CARTELLA=
; without Scheda_Cliente.mdb stops the silent install with exit code 2.
;
; The uninstaller removes the files installed here by name, the Start-menu
; entry and the installer's registry keys; it never touches the front-office
; folder nor the files the program keeps there (TaxSetup.txt,
; ImpostaSoggiorno.txt, ListaPS.txt, ArchivioInvii).

; A 64-bit installer for a 64-bit program: it installs into the 64-bit
; Program Files and registry, and runs where 32-bit programs cannot (Wine
; without its 32-bit part).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | FILES_NSH | UNINSTALL_NSH | OUTFILE
  !error "Build with scripts/windows-dist, which defines VERSION, STAGE, FILES_NSH, UNINSTALL_NSH and OUTFILE."
!endif
!ifndef VERSION4
  !define VERSION4 "${VERSION}.0.0"
!endif

!define PRODUCT "Ostelvia"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostelvia"
!define SETTINGS_KEY "Software\Ostelvia"
!define GUEST_DB "Scheda_Cliente.mdb"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Ostelvia"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1040 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di ${PRODUCT}"
VIAddVersionKey /LANG=1040 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "GNU GPL 3.0 o successiva"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"

; The front-office folder: from its page, or from /CARTELLA= when silent.
Var Cartella

!define MUI_ABORTWARNING
!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"

!define MUI_WELCOMEPAGE_TITLE "Installazione di ${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "${PRODUCT} prepara il file per l'imposta di soggiorno leggendo le schede dei clienti del programma di ricevimento, senza modificarle.$\r$\n$\r$\nPrima di continuare, chiudere ${PRODUCT} se è aperto.$\r$\n$\r$\nPremere Avanti per continuare."
!insertmacro MUI_PAGE_WELCOME

; The GPL asks nobody to accept it in order to use the program.
!define MUI_LICENSEPAGE_TEXT_TOP "${PRODUCT} è software libero, distribuito con la licenza che segue."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Non serve accettare la licenza per usare il programma: regola la copia e la modifica. I componenti di terze parti e le loro licenze sono nella cartella licenze del programma."
!define MUI_LICENSEPAGE_BUTTON "&Avanti >"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\licenze\Ostelvia-GPL-3.0.txt"

!insertmacro MUI_PAGE_DIRECTORY

; The front-office folder, on a directory page of its own.
!define MUI_PAGE_HEADER_TEXT "Cartella del programma di ricevimento"
!define MUI_PAGE_HEADER_SUBTEXT "Dove si trovano le schede dei clienti."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Scegliere la cartella del programma di ricevimento: quella che contiene ${GUEST_DB}. ${PRODUCT} la apre all'avvio dal menu Start e vi tiene le sue impostazioni (TaxSetup.txt) e l'archivio degli invii; i database vengono solo letti."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Cartella del programma di ricevimento"
!define MUI_DIRECTORYPAGE_VARIABLE $Cartella
!define MUI_DIRECTORYPAGE_VERIFYONLEAVE
!define MUI_PAGE_CUSTOMFUNCTION_SHOW CartellaShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CartellaLeave
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} è stato installato. Si avvia dal menu Start, voce ${PRODUCT}."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Italian"

; Whether the folder holds the guest database; $0 is 1 or 0. The file
; system of Windows ignores the letter case of the name.
!macro CheckFrontOfficeFolder FOLDER
  StrCpy $0 0
  ${If} "${FOLDER}" != ""
  ${AndIf} ${FileExists} "${FOLDER}\${GUEST_DB}"
    StrCpy $0 1
  ${EndIf}
!macroend

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} richiede Windows a 64 bit." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  SetRegView 64
  ; The folder chosen at an earlier installation, for the page.
  ReadRegStr $Cartella HKLM "${SETTINGS_KEY}" "CartellaRicevimento"
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CARTELLA=" $R1
  ${IfNot} ${Errors}
    StrCpy $Cartella $R1
  ${EndIf}
  ${If} ${Silent}
  ${AndIf} $Cartella != ""
    !insertmacro CheckFrontOfficeFolder $Cartella
    ; A silent install shows nothing: its exit code says it refused.
    ${If} $0 != 1
    ${OrIf} $Cartella == $INSTDIR
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; Nothing is installed there: the disk space lines would mislead.
Function CartellaShow
  ShowWindow $mui.DirectoryPage.SpaceRequired ${SW_HIDE}
  ShowWindow $mui.DirectoryPage.SpaceAvailable ${SW_HIDE}
FunctionEnd

Function CartellaLeave
  !insertmacro CheckFrontOfficeFolder $Cartella
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "La cartella scelta non contiene ${GUEST_DB}.$\r$\n$\r$\nScegliere la cartella del programma di ricevimento, quella in cui si trovano le schede dei clienti."
    Abort
  ${EndIf}
  ; Program files mixed with the databases would be hard to tell apart.
  ${If} $Cartella == $INSTDIR
    MessageBox MB_OK|MB_ICONEXCLAMATION "La cartella del programma di ricevimento non può essere anche la cartella di installazione di ${PRODUCT}.$\r$\n$\r$\nTornare indietro e scegliere un'altra cartella di installazione."
    Abort
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecMain
  SectionIn RO
  SetRegView 64
  !include "${FILES_NSH}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninst.exe"

  ; The Start-menu entry starts in the front-office folder, where the program
  ; looks for the databases first. A silent install without /CARTELLA= has
  ; none: the entry starts in the user's Documents, and the program then opens
  ; the folder it remembers or asks for one at its first start.
  ${If} $Cartella == ""
    SetShellVarContext current
    StrCpy $Cartella $DOCUMENTS
    StrCpy $R9 ""
  ${Else}
    StrCpy $R9 $Cartella
  ${EndIf}
  SetShellVarContext all
  SetOutPath "$Cartella"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\ostelvia.exe" "" "$INSTDIR\ostelvia.exe" 0 SW_SHOWNORMAL "" "Imposta di soggiorno"
  SetOutPath "$INSTDIR"

  ; For the next installation's page only: the program keeps its own settings.
  ${If} $R9 != ""
    WriteRegStr HKLM "${SETTINGS_KEY}" "CartellaRicevimento" $R9
  ${EndIf}
  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallLocation" "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ostelvia.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninst.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninst.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; Only the files installed, by name; the folder goes only when empty.
  !include "${UNINSTALL_NSH}"
  Delete "$INSTDIR\Uninst.exe"
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
SectionEnd
