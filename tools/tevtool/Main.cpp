#include <iostream>

#include "model/WidePath.h"
#include "tools/tevtool/Tool.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "win32/DllSearch.h"

// Wide arguments, so that any file name the system allows can be named.
int wmain(int argc, wchar_t** argv) {
  tev::win32::LoadDllsFromSystemFolderOnly();
  // CSV lines end in a line feed alone, on standard output as in files.
  _setmode(_fileno(stdout), _O_BINARY);
  return tev::tool::RunTool(tev::tool::Args(argv + 1, argv + argc), std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  tev::tool::Args args;
  // File names are bytes here, not always UTF-8: kept as they are, so that any file can be named.
  for (int i = 1; i < argc; ++i) args.push_back(tev::PathBytesToWide(argv[i]));
  return tev::tool::RunTool(args, std::cout, std::cerr);
}
#endif
