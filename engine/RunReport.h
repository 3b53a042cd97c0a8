#pragma once

#include <string>
#include <vector>

namespace engine {

// What went wrong during one command, in the order it happened.
class RunReport {
 public:
  void Fail(std::string what) { m_failures.push_back(std::move(what)); }
  bool HasFailures() const { return !m_failures.empty(); }
  const std::vector<std::string>& Failures() const { return m_failures; }

  // The text of the final message when something failed, under the
  // heading that names the command: the first `mostListed` failures and
  // how many more there are.
  std::string FailureMessage(const char* heading, std::size_t mostListed) const;

 private:
  std::vector<std::string> m_failures;
};

}  // namespace engine
