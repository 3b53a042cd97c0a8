// The text of a report as a multi-line edit control shows it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ui {

// The control breaks lines only at CR LF: every LF without a CR before it
// gains one. A CR alone stays as it is (it is a byte of the user's file).
std::string WithCrLf(std::string_view text);

// For a control that holds at most `limit` bytes: the text as it is when
// it fits, else cut after the last line break that leaves room for note,
// with note as the last line.
std::string FitForControl(std::string_view text, std::size_t limit, std::string_view note);

}  // namespace ui
