#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

// A look at the user's own aircraft configuration file and model list,
// changing nothing, for what would make the simulator or SquawkBox miss an
// aircraft, and for what the next install would take out.
struct FileCheck {
  // What a person should act on, one plain line each, the file and line
  // named: numbers of [fltsim.N] that repeat, leave gaps or are written
  // so that the simulator does not look for them, sections past what an
  // install looks at, a title in two sections, model lines whose title no
  // section has, sections no model line names, lines the simulator reads
  // nothing from, headers written with blanks before them, and a file that
  // cannot be read or processed.
  std::vector<std::string> problems;
  // What the next install takes out as entries an earlier run installed
  // (and puts back, for the airlines it installs): not wrong in itself.
  std::vector<std::string> earlierEntries;
  // What is worth knowing and is not wrong (where Windows keeps the files).
  std::vector<std::string> notes;
};

FileCheck CheckUserFiles(const char* configPath, const char* modelListPath);
// The same look at both files' bytes as stored, each named by its file
// name (a dry run looks at the scratch copies its run leaves).
FileCheck CheckFileContents(std::string_view config, std::string_view models, const std::string& configName,
                            const std::string& modelName);

// The check as a person reads it, one line each: the problems, the entries
// the next install takes out (unless earlierEntries is false), the notes,
// or that there is no problem.
std::string FileCheckReport(const FileCheck& check, bool earlierEntries = true);

// The same under a line that names both files.
std::string FilesCheckReport(const char* configPath, const char* modelListPath, const FileCheck& check);

}  // namespace engine
