#pragma once

#include <string>
#include <vector>

namespace engine {

// What went wrong during one Install command, in the order it happened,
// and which files the command has already backed up.
class RunReport {
 public:
  void Fail(std::string what) { m_failures.push_back(std::move(what)); }
  bool HasFailures() const { return !m_failures.empty(); }
  const std::vector<std::string>& Failures() const { return m_failures; }

  // The text of the final message box when something failed, under the
  // heading that names the command.
  std::string FailureMessage(const char* heading) const;

  // A file whose backup could not be made, or that the removal pass could
  // not read, is not rewritten for the rest of the run: a later backup would
  // keep what the run had already changed instead of what it started from.
  enum class Backup { NotYet, Made, Failed };
  Backup configBackup = Backup::NotYet;
  Backup modelListBackup = Backup::NotYet;

 private:
  std::vector<std::string> m_failures;
};

}  // namespace engine
