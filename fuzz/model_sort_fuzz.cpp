// The model-list sort over arbitrary model-list bytes: the file is read,
// sorted and written back, and CompareModelLines is checked as an order on
// the lines themselves.
//
// Input: the model list's bytes.

#include <cstddef>
#include <cstdint>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "removal/ModelListSort.h"
#include "run/InstallContext.h"
#include "run/InstallRun.h"
#include "run/RunReport.h"
#include "text/Text.h"
#include "FuzzSupport.h"

using namespace engine;

namespace {

// A copy of the text in a buffer of exactly its size, so that ASan sees a
// comparison that reads past the terminator.
std::unique_ptr<char[]> Exact(const std::string& text) {
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  return copy;
}

int Sign(int v) { return (v > 0) - (v < 0); }

// The order the sort must produce: ASCII letters folded, bytes unsigned.
int ExpectedOrder(const std::string& a, const std::string& b) { return Sign(Folded(a).compare(Folded(b))); }

void CheckComparison(const std::vector<std::string>& lines) {
  std::vector<std::string> texts;
  for (const std::string& line : lines) {
    std::string text = (line + "\n").c_str();  // as a slot holds it, up to a zero byte
    if (texts.size() < 12) texts.push_back(text);  // long lines too: they compare whole
  }
  for (const std::string& a : texts) {
    auto ea = Exact(a);
    fuzz::Check(CompareModelLines(ea.get(), ea.get()) == 0, "a line does not equal itself", a);
    for (const std::string& b : texts) {
      auto eb = Exact(b);
      const int ab = CompareModelLines(ea.get(), eb.get());
      fuzz::Check(ab == -1 || ab == 0 || ab == 1, "CompareModelLines returned other than -1, 0, +1");
      fuzz::Check(ab == -CompareModelLines(eb.get(), ea.get()), "CompareModelLines is not antisymmetric");
      fuzz::Check(ab == ExpectedOrder(a, b), "CompareModelLines disagrees with folded byte order", a + " | " + b);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = [] {
    std::string folder = fuzz::ScratchFolder() + "/sort";
    mkdir(folder.c_str(), 0777);
    return folder + "/CSL_ICAO.csv";
  }();
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fuzz::WriteBytes(path, bytes);
  static InstallRun run;
  run.context = InstallContext();
  run.report = RunReport();
  const RunReport& report = run.report;
  CopyText(run.context.modelListPath, path.c_str());
  SortModelList(run.modelList, run.context.modelListPath, run.report);
  const std::string after = fuzz::ReadBytes(path);
  fuzz::Check(!fuzz::Exists(path + ".tmp"), "a temporary file is left behind");

  const std::vector<std::string> lines = SplitLines(fuzz::TextOf(bytes));
  CheckComparison(lines);

  if (!fuzz::ReadsSoundly(bytes)) {
    fuzz::Check(after == bytes, "a model list that cannot be read soundly was changed");
    fuzz::Check(report.HasFailures(), "a model list that cannot be read soundly was not reported");
    return 0;
  }
  fuzz::Check(!report.HasFailures(), "sorting a model list of lines of any length reported a failure");

  std::map<std::string, int> expected, got;
  for (const std::string& line : lines) ++expected[line];
  const std::vector<std::string> output = SplitLines(fuzz::DecodeTextMode(after));
  for (std::size_t i = 0; i < output.size(); ++i) {
    ++got[output[i]];
    if (i > 0) {
      fuzz::Check(ExpectedOrder(output[i - 1] + "\n", output[i] + "\n") <= 0, "the lines are not in ascending order",
                  output[i - 1] + " | " + output[i]);
    }
  }
  fuzz::Check(got == expected, "the sorted list is no permutation of the lines read");
  std::string crlf;
  for (const std::string& line : output) crlf += line + "\r\n";
  fuzz::Check(after == crlf, "every line must end in CR LF");
  return 0;
}
