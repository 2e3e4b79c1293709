#pragma once
// One flight as a comma-separated table, one row per sample.
#include <functional>
#include <string>
#include <string_view>

#include "model/DataSet.h"

namespace tev {

// set -1 exports current as it stands; otherwise current is rebuilt from that set first.
// True only when the whole file was written; an existing file is never left half-written.
bool ExportCsv(const PacketList& packets, const DeviceSettings& settings, DataSet& current, int set,
               const std::wstring& path);

// The same table handed to write in pieces; false as soon as write returns false.
bool WriteCsv(const DataSet& set, const std::function<bool(std::string_view)>& write);

}  // namespace tev
