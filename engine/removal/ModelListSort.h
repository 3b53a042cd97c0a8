#pragma once

#include <string>

#include "platform/Result.h"

namespace engine {

class ModelListTable;
class RunReport;
class StagedFiles;

// Orders two model lines: byte by byte up to the terminator, capital ASCII
// letters folded to small ones, bytes compared unsigned; the shorter text
// sorts first. -1, 0 or +1.
int CompareModelLines(const char* a, const char* b);

// Sorts the table in place and gives its lines as the file stores them
// (each line end a CR LF); empty slots give nothing.
std::string ModelListText(ModelListTable& table);

// Sorts the table in place and writes its lines to the file at `path`. A
// failure, with the file unchanged, when it cannot be written.
plat::Result WriteModelList(const char* path, ModelListTable& table);

// Reads the model list at `path` into the table again and writes it back
// sorted. A list that no longer fits the table, or cannot be written, is
// left unchanged and reported.
void SortModelList(ModelListTable& table, const char* path, RunReport& report);

// The same on the model list a command builds aside: read again as that
// file would be, sorted, put back; the table is emptied after.
void SortStagedModelList(ModelListTable& table, StagedFiles& staged, RunReport& report);

}  // namespace engine
