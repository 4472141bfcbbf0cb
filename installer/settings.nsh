; Names the installer shares with the programs and with the release tests.
!define PUBLISHER "Morvel Software Development"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Verivir"
!define APP_PATH_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\Nuvora.exe"
!define DESKTOP_KEY "Control Panel\Desktop"
; Where Verivir keeps each user's scene settings.
!define SETTINGS_PARENT_KEY "Software\Morvel Software Development\Screen Savers"
!define SETTINGS_KEY "${SETTINGS_PARENT_KEY}\Verivir"
