#include "ui/logic/CaptureText.h"

#include <cwctype>

#include "device/DeviceResults.h"

namespace tev {

std::wstring PacketReadLine(int packetIndex) { return L"Packet Read: " + std::to_wstring(packetIndex) + L"\r\n"; }

std::wstring PacketsReadLine(std::size_t count) { return L"Packets Read: " + std::to_wstring(count) + L"\r\n"; }

std::optional<int> IncompleteSet(const PacketList& packets, bool nextSetBegun) {
  const int sets = CountSets(packets);
  if (sets == 0 || nextSetBegun) return std::nullopt;
  return sets - 1;
}

namespace {

std::wstring MayBeIncomplete(int set) {
  return L"Data set " + std::to_wstring(set + 1) + L" may be incomplete: the download stopped before its end.";
}

}  // namespace

std::optional<std::wstring> IncompleteSetLine(const PacketList& packets, bool nextSetBegun) {
  const std::optional<int> set = IncompleteSet(packets, nextSetBegun);
  if (!set) return std::nullopt;
  return MayBeIncomplete(*set) + L"\r\n";
}

std::wstring SaveIncompleteSetQuestion(int set) { return MayBeIncomplete(set) + L" Save it anyway?"; }

std::wstring SaveSetTitle(int set) { return L"Save data set " + std::to_wstring(set + 1); }

std::wstring ProposedSetFileName(int set, bool mayBeIncomplete) {
  if (!mayBeIncomplete) return L"";
  return L"flight-" + std::to_wstring(set + 1) + L".partial.tev";
}

SaveAllEnd SaveAllEndFor(int sets, int saved, bool incompleteSetSaved) {
  if (sets > 0 && saved == 0) return SaveAllEnd::Silent;
  return incompleteSetSaved ? SaveAllEnd::SavedWithIncompleteSet : SaveAllEnd::Saved;
}

std::wstring SavedWithIncompleteSetMessage(int saved, int incompleteSet) {
  return std::to_wstring(saved) + (saved == 1 ? L" data set saved. " : L" data sets saved. ") +
         MayBeIncomplete(incompleteSet);
}

namespace {

bool IsCsvExtension(const std::wstring& extension) {
  if (extension.size() != 4) return false;
  const wchar_t* csv = L".csv";
  for (std::size_t i = 0; i < 4; ++i) {
    if (static_cast<wchar_t>(std::towlower(extension[i])) != csv[i]) return false;
  }
  return true;
}

}  // namespace

std::wstring CsvPathFor(const std::wstring& dataPath) {
  const std::size_t nameStart = dataPath.find_last_of(L"\\/:");
  const std::size_t dot = dataPath.rfind(L'.');
  const bool hasExtension = dot != std::wstring::npos && (nameStart == std::wstring::npos || dot > nameStart);
  if (!hasExtension || IsCsvExtension(dataPath.substr(dot))) return dataPath + L".csv";
  return dataPath.substr(0, dot) + L".csv";
}

DownloadEnd DownloadEndOf(int result, bool cancelRequested) {
  if (result >= 0) return DownloadEnd::Complete;
  if (result == kCancelled || cancelRequested) return DownloadEnd::Cancelled;
  return DownloadEnd::Failed;
}

}  // namespace tev
