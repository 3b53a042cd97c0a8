#pragma once

#include <string>
#include <vector>

// What went wrong during one Install command, in the order it happened,
// and which files the command has already backed up.
class RunReport {
 public:
  void Fail(std::string what) { failures_.push_back(std::move(what)); }
  bool HasFailures() const { return !failures_.empty(); }
  const std::vector<std::string>& Failures() const { return failures_; }

  // The text of the final message box when something failed, under the
  // heading that names the command.
  std::string FailureMessage(const char* heading) const;

  bool configBackedUp = false;
  bool modelListBackedUp = false;

 private:
  std::vector<std::string> failures_;
};
