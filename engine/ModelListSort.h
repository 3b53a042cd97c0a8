#pragma once

class RunReport;

// Orders two model lines: byte by byte up to the terminator, capital ASCII
// letters folded to small ones, bytes compared unsigned; the shorter text
// sorts first. -1, 0 or +1.
int CompareModelLines(const char* a, const char* b);

// Sorts ModelList in place and writes its lines to the model list path;
// empty slots write nothing. Failures are reported; the file then keeps its
// content.
void WriteModelList(RunReport& report);

// Reads the model list again and writes it back sorted. A list that no
// longer fits the table is left unsorted and unchanged, and reported.
void SortModelList(RunReport& report);
