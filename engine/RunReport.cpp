#include "RunReport.h"

#include "Messages.h"
#include "Text.h"

namespace engine {

namespace {
// A message box must still fit on the screen with a thousand failures.
constexpr std::size_t kMostListed = 20;
}  // namespace

std::string RunReport::FailureMessage(const char* heading) const {
  std::string text = heading;
  text += "\n\n";
  for (std::size_t i = 0; i < m_failures.size() && i < kMostListed; ++i) {
    text += "- " + m_failures[i] + "\n";
  }
  if (m_failures.size() > kMostListed) {
    text += Printf("... and %zu more\n", m_failures.size() - kMostListed);
  }
  text += "\n";
  text += kCheckFailuresText;
  return text;
}

}  // namespace engine
