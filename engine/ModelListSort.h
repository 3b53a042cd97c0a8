#pragma once

namespace engine {

struct InstallRun;

// Orders two model lines: byte by byte up to the terminator, capital ASCII
// letters folded to small ones, bytes compared unsigned; the shorter text
// sorts first. -1, 0 or +1.
int CompareModelLines(const char* a, const char* b);

// Sorts the run's ModelList in place and writes its lines to the model list
// path; empty slots write nothing. False, with the file unchanged and the
// reason in plat::LastErrorText(), when it cannot be written.
bool WriteModelList(InstallRun& run);

// Reads the model list again and writes it back sorted. A list that no
// longer fits the table, or cannot be written, is left unchanged and
// reported in the run's report.
void SortModelList(InstallRun& run);

}  // namespace engine
