#include "run/RunReport.h"

#include "run/Messages.h"
#include "text/Text.h"

namespace engine {

std::string RunReport::FailureMessage(const char* heading, std::size_t mostListed) const {
  std::string text = heading;
  text += "\n\n";
  for (std::size_t i = 0; i < m_failures.size() && i < mostListed; ++i) {
    text += "- " + m_failures[i] + "\n";
  }
  if (m_failures.size() > mostListed) {
    text += Printf("... and %zu more\n", m_failures.size() - mostListed);
  }
  text += "\n";
  text += kCheckFailuresText;
  return WithNotes(text);
}

std::string RunReport::WithNotes(const std::string& text) const {
  std::string with = text;
  for (const std::string& note : m_notes) with += "\n\n" + note;
  return with;
}

}  // namespace engine
