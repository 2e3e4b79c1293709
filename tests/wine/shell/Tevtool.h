#pragma once
// The command-line companion, run by the driver to say what an export must hold.
#include <string>

namespace tev::driver {

// `tevtool csv <data file> -o <csv file>`; true when it ran and succeeded.
bool RunTevtoolCsv(const std::wstring& tevtool, const std::wstring& dataFile, const std::wstring& csvFile);

}  // namespace tev::driver
