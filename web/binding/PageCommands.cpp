// The page calls the tevtool commands it uses directly (binding/AppBinding.cpp, PagePlot.cpp):
// there is no command line to look commands up from.
#include "tools/tevtool/Tool.h"

namespace tev::tool {

std::span<const Command> Commands() { return {}; }

}  // namespace tev::tool
