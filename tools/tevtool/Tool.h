#pragma once
// tevtool: flights from .tev files without the window. Each command lives in its own file and
// has one line in the table of CommandTable.cpp.
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "model/DeviceSettings.h"
#include "model/FlightPacket.h"

namespace tev::tool {

using Args = std::vector<std::wstring>;

struct Command {
  const char* name;
  const char* usage;    // the arguments, as shown after the name
  const char* summary;  // one line
  // Returns the exit status: 0 on success, 1 after writing one line to err.
  int (*run)(const Args& args, std::ostream& out, std::ostream& err);
};

std::span<const Command> Commands();

// args: everything after the program name. -h prints usage, -v sends diagnostics to err.
int RunTool(const Args& args, std::ostream& out, std::ostream& err);

// Writes "tevtool: message" as one line to err and gives the failure status.
int Fail(std::ostream& err, const std::string& message);

// Reads a data file for a command; on failure says why on err and returns false. A file whose
// only fault is its settings checksum is read (the program opens it with the default settings).
struct LoadedFile {
  PacketList packets;
  DeviceSettings settings;  // as stored in the file
  bool checksumValid = false;
};
bool LoadForTool(const std::wstring& path, LoadedFile& file, std::ostream& err);

std::string Narrow(const std::wstring& text);

// A whole number as typed: digits only; empty for anything else.
std::optional<int> ParseSet(const std::wstring& text);

// A set as people read and type it: sets count from 1, as the window's "Data set: 1" does,
// while the code counts them from 0.
std::string SetName(int set);

int RunInfo(const Args& args, std::ostream& out, std::ostream& err);
int RunCsv(const Args& args, std::ostream& out, std::ostream& err);
int RunDownload(const Args& args, std::ostream& out, std::ostream& err);
int RunStats(const Args& args, std::ostream& out, std::ostream& err);
int RunPlot(const Args& args, std::ostream& out, std::ostream& err);
int RunReport(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace tev::tool
