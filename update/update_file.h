// Reading the local copy of the update description file (INI syntax).
#pragma once
#include <windows.h>

#include <cstdint>

namespace nuvora {

// "VerHi" and "VerLo" of the product's section, 0 when missing.
void ReadLatestVersion(std::uint32_t* major, std::uint32_t* minor);

// Fills the information dialog's fields and language list; selects the first entry.
void ReadProductInfo(HWND dialog);

// Download URL and target file name for a zero-based list selection (negative: none).
void ReadDownloadChoice(int selection);

// "DlSize" (default 1) into the total kilobytes of the update state.
void ReadDownloadSize();

// "AppName" into a 128-byte field, empty when missing, for the download caption.
void ReadAppNameForCaption(char (&name)[128]);

}  // namespace nuvora
