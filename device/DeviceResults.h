#pragma once
// Results of the device operations: 0 success, negative failure. Connect has its own set.

namespace tev {

inline constexpr int kOk = 0;
inline constexpr int kNoReply = -1;        // a reply (or a settings/clear report) did not get through in time
inline constexpr int kCancelled = -2;      // cancelRequested stopped the operation
inline constexpr int kProtocolError = -3;  // bootloader mode, or an unexpected reply code
inline constexpr int kSendFailed = -5;     // the reset or the command was not taken in time

inline constexpr int kConnected = 1;
inline constexpr int kNotFound = -1;
inline constexpr int kCannotOpen = -2;
inline constexpr int kWrongVersion = -3;

}  // namespace tev
