#pragma once
// The status lines more than one dialog's workers say, each written here once.
namespace tev {

inline constexpr wchar_t kAttemptingToConnect[] = L"Attempting to connect to device.\r\n";
inline constexpr wchar_t kAltimeterNotFound[] =
    L"Altimeter not found. Make sure it is properly connected to the PC.\r\n";
inline constexpr wchar_t kReadingSettings[] = L"Altimeter found! Reading settings...\r\n";
inline constexpr wchar_t kSettingsReadFailed[] = L"Failed to read settings.\r\n";
inline constexpr wchar_t kSettingsRead[] = L"Settings read successfully.\r\n";
inline constexpr wchar_t kClearFailed[] = L"Failed to clear data.\r\n";
inline constexpr wchar_t kFailed[] = L"Failed.\r\n";
inline constexpr wchar_t kDone[] = L"Done.\r\n";

}  // namespace tev
