#pragma once

#include <cstddef>

class InstallHost;

// Fills buf (at least 300 bytes) with the folder of the running executable,
// ending in its separator (C:\Tools\).
void GetModuleFolder(char* buf);

// The folder that holds Airlines.dat and the <Data>.dat files, ending in a
// separator: the executable's folder unless SetCatalogueFolder chose another.
void GetCatalogueFolder(char* buf, std::size_t cap);

// Chooses the catalogue folder for this process (null or "" restores the
// executable's folder). False when the name is too long to be used.
bool SetCatalogueFolder(const char* folder);

// Makes sure the folder exists, creating missing parents one by one. With
// `ask` set the user is asked first. 1 when the folder exists at the end,
// 0 when the user declined, the path is too long, or creating failed.
int EnsureFolderPath(InstallHost& host, const char* path, int ask);
