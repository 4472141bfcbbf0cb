; Names the installer shares with the programs and with the release tests.
!define PUBLISHER "Morvel Software Development"
!define DISPLAY_NAME "Verivir (OpenGL) screen saver"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Verivir"
!define APP_PATH_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\Nuvora.exe"
!define DESKTOP_KEY "Control Panel\Desktop"
; Where Verivir keeps each user's scene settings.
!define SETTINGS_PARENT_KEY "Software\Morvel Software Development\Screen Savers"
!define SETTINGS_KEY "${SETTINGS_PARENT_KEY}\Verivir"
; SystemParametersInfo: turn the screen saver on or off, store it in the user's
; profile (SPIF_UPDATEINIFILE) and tell every window (SPIF_SENDCHANGE).
!define SPI_SETSCREENSAVEACTIVE 0x0011
!define SPIF_STORE_AND_TELL 0x0003
