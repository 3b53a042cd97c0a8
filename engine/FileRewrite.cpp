#include "FileRewrite.h"

#include "FileReplacement.h"
#include "InstallRun.h"
#include "LineTable.h"

namespace engine {

bool WriteConfigLines(InstallRun& run) {
  plat::FileReplacement out;
  if (!out.Begin(run.context.configPath)) return false;
  for (std::size_t i = 0; i < run.ConfigLines.Size(); ++i) {
    const char* line = run.ConfigLines.Line(i);
    if (!*line) continue;
    if (line[0] == '[') out.Write("\n");
    out.Write(line);
    out.Write("\n");
  }
  return out.Commit();
}

}  // namespace engine
