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

// After a download that failed part-way nobody knows whether the last set read had ended: that
// set (counted from 0). None when no set was read, or when the packet in progress had already
// shown itself as the start of the next flight (the last set read is whole).
std::optional<int> IncompleteSet(const PacketList& packets, bool nextSetBegun);
// The line that says so (sets shown to the user count from 1).
std::optional<std::wstring> IncompleteSetLine(const PacketList& packets, bool nextSetBegun);
// Asked before such a set is saved.
std::wstring SaveIncompleteSetQuestion(int set);

// The save dialog's title for one set.
std::wstring SaveSetTitle(int set);
// The name the save dialog proposes for one set: none for a whole set; for a set that may be
// incomplete a name that says so, as tevtool names it, so that it never passes as whole.
std::wstring ProposedSetFileName(int set, bool mayBeIncomplete);

// How Save All ends once every set has had its turn (a cancelled save dialog ends it earlier, with
// nothing said): silently when the one set there was is not kept, else with the usual message, or
// with one that also names the set that may be incomplete when that set was among those saved.
enum class SaveAllEnd { Silent, Saved, SavedWithIncompleteSet };
SaveAllEnd SaveAllEndFor(int sets, int saved, bool incompleteSetSaved);
std::wstring SavedWithIncompleteSetMessage(int saved, int incompleteSet);

// The CSV file written beside a data file: the data file's extension replaced by ".csv", or
// ".csv" appended when the name has no extension or already ends in ".csv" (in any case), so that
// the CSV never overwrites the flight.
std::wstring CsvPathFor(const std::wstring& dataPath);

enum class DownloadEnd { Complete, Failed, Cancelled };

// A download that stopped while a cancel was asked for (the dialog closing) counts as cancelled,
// whichever transfer it was in: its packets are let go rather than handed back part-read.
DownloadEnd DownloadEndOf(int result, bool cancelRequested);

}  // namespace tev
