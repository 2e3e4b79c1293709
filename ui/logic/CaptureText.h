#pragma once
// What the Capture Data dialog says and the names it derives: status lines, save dialog titles,
// the CSV file beside a saved flight, and how a download's result is taken.
#include <cstddef>
#include <optional>
#include <string>

#include "model/FlightPacket.h"
#include "ui/logic/WorkerText.h"

namespace tev {

inline constexpr wchar_t kReadingData[] = L"Reading data...\r\n";
inline constexpr wchar_t kDataReadFailed[] = L"Failed to read data.\r\n";
inline constexpr wchar_t kDataRead[] = L"Data read successfully.\r\n";
inline constexpr wchar_t kCleared[] = L"Data cleared successfully.\r\n";

std::wstring PacketReadLine(int packetIndex);      // one packet stored
std::wstring PacketsReadLine(std::size_t count);   // the download's total

// After a download that failed part-way the last set's end was never read: that set (counted from
// 0). None when no set was read, or when the packet in progress had already shown itself as the
// start of the next flight (the last set read is whole).
std::optional<int> IncompleteSet(const PacketList& packets, bool nextSetBegun);
// The line that says so (sets shown to the user count from 1).
std::optional<std::wstring> IncompleteSetLine(const PacketList& packets, bool nextSetBegun);
// Said instead of saving it: a cut-off flight is never saved under a name that looks whole.
std::wstring IncompleteSetNotSavedLine(int set);

// The save dialog's title for one set.
std::wstring SaveSetTitle(int set);

// The CSV file written beside a data file: the data file's extension replaced by ".csv", or
// ".csv" appended when the name has no extension or already ends in ".csv" (in any case), so that
// the CSV never overwrites the flight.
std::wstring CsvPathFor(const std::wstring& dataPath);

enum class DownloadEnd { Complete, Failed, Cancelled };

// A download that stopped while a cancel was asked for (the dialog closing) counts as cancelled,
// whichever transfer it was in: its packets are let go rather than handed back part-read.
DownloadEnd DownloadEndOf(int result, bool cancelRequested);

}  // namespace tev
