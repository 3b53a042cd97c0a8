#include "ReportText.h"

namespace ui {

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

std::string FitForControl(std::string_view text, std::size_t limit, std::string_view note) {
  if (text.size() <= limit) return std::string(text);
  const std::size_t room = note.size() < limit ? limit - note.size() : 0;
  std::size_t cut = room == 0 ? std::string_view::npos : text.rfind('\n', room - 1);
  cut = cut == std::string_view::npos ? 0 : cut + 1;
  std::string out(text.substr(0, cut));
  out += note;
  return out;
}

}  // namespace ui
