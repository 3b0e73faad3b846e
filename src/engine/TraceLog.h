#pragma once

// The diagnostic channel: one time-stamped line per event in DataDirectory + "Trace_Log.txt".
// Every line opens and closes the file, so it is on disk when the call returns even if the
// process dies right after. A file that cannot be opened costs only that line; nothing is raised.

#include <string>

namespace TraceLog {

// The log's file name in the data directory.
inline constexpr const char* kFileName = "Trace_Log.txt";

// Writes "[timestamp] message".
void Log(std::string message);

// Writes "[timestamp] WARNING: message" to the file and to standard output.
void Warning(std::string message);

// Writes "[timestamp] ERROR: message" to the file and to standard output.
void Error(std::string message);

// The current local time as "YYYY-MM-DD HH:MM:SS", whole seconds.
std::string Timestamp();

// Empties the log so that it holds only the current engine pass, then writes the lines held
// since Hold into it. Leaves the file as it was when it cannot be opened (the held lines are
// lost then, as any line is).
void Truncate();

// Keeps the lines written from now on in memory, with the times they were written at, until the
// next Truncate starts the log they belong in. For a process's start-up, before the data
// directory points at the folder of the run's log: nothing is written into the folder it
// pointed at before. Warnings and errors still reach standard output at once.
void Hold();

}  // namespace TraceLog
