#pragma once
// The diagnostic stream: one flushed line per message, never interleaved between threads.
// The window program keeps the default (standard output); tools redirect or silence it.
#include <functional>
#include <string>
#include <string_view>

namespace tev {

using DebugLogSink = std::function<void(std::string_view line)>;

// Writes one line (the text plus a line end) to the current sink.
void DebugLog(std::string_view line);

// Replaces the sink; an empty function silences the log. Returns the previous sink.
DebugLogSink SetDebugLogSink(DebugLogSink sink);

// The default sink: standard output, flushed after every line.
DebugLogSink StandardOutputSink();

// False while the log is silenced, so costly messages can be skipped altogether.
bool DebugLogEnabled();

}  // namespace tev
