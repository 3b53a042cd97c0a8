#pragma once

#include <string>
#include <vector>

namespace engine {

// What went wrong during one command, in the order it happened, and what
// the user should know of a run although nothing went wrong (a note: the
// run still succeeds).
class RunReport {
 public:
  void Fail(std::string what) { m_failures.push_back(std::move(what)); }
  bool HasFailures() const { return !m_failures.empty(); }
  const std::vector<std::string>& Failures() const { return m_failures; }

  void Note(std::string what) { m_notes.push_back(std::move(what)); }
  const std::vector<std::string>& Notes() const { return m_notes; }
  // The text with the notes after it, each in a paragraph of its own; the
  // text alone when there is none.
  std::string WithNotes(const std::string& text) const;

  // The text of the final message when something failed, under the
  // heading that names the command: the first `mostListed` failures and
  // how many more there are.
  std::string FailureMessage(const char* heading, std::size_t mostListed) const;

 private:
  std::vector<std::string> m_failures;
  std::vector<std::string> m_notes;
};

}  // namespace engine
