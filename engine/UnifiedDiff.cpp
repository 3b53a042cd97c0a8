#include "UnifiedDiff.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace engine {

namespace {

using Lines = std::vector<std::string_view>;

enum class Op : char { Equal, Delete, Insert };

Lines SplitLines(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.emplace_back(text.data() + start, end - start);
    start = end;
  }
  return lines;
}

struct Snake {
  int x0, y0, x1, y1;
};

// Myers' shortest edit script in linear space: finds the middle snake of
// a[a0..a1) against b[b0..b1), whose ends must differ.
class Differ {
 public:
  Differ(const Lines& a, const Lines& b) : m_a(a), m_b(b) {}

  void Run(int a0, int a1, int b0, int b1) {
    int prefix = 0;
    while (a0 < a1 && b0 < b1 && m_a[a0] == m_b[b0]) ++a0, ++b0, ++prefix;
    int suffix = 0;
    while (a0 < a1 && b0 < b1 && m_a[a1 - 1] == m_b[b1 - 1]) --a1, --b1, ++suffix;
    m_ops.insert(m_ops.end(), prefix, Op::Equal);
    if (a0 == a1) {
      m_ops.insert(m_ops.end(), b1 - b0, Op::Insert);
    } else if (b0 == b1) {
      m_ops.insert(m_ops.end(), a1 - a0, Op::Delete);
    } else {
      Snake s = MiddleSnake(a0, a1, b0, b1);
      Run(a0, a0 + s.x0, b0, b0 + s.y0);
      m_ops.insert(m_ops.end(), s.x1 - s.x0, Op::Equal);
      Run(a0 + s.x1, a1, b0 + s.y1, b1);
    }
    m_ops.insert(m_ops.end(), suffix, Op::Equal);
  }

  // Within each run of changes the deletions come first, as diff(1) shows
  // them; the lines taken and given stay the same.
  std::vector<Op> GroupedOps() const {
    std::vector<Op> grouped;
    grouped.reserve(m_ops.size());
    std::size_t i = 0;
    while (i < m_ops.size()) {
      if (m_ops[i] == Op::Equal) {
        grouped.push_back(Op::Equal);
        ++i;
        continue;
      }
      std::size_t deletes = 0, inserts = 0;
      for (; i < m_ops.size() && m_ops[i] != Op::Equal; ++i) (m_ops[i] == Op::Delete ? deletes : inserts)++;
      grouped.insert(grouped.end(), deletes, Op::Delete);
      grouped.insert(grouped.end(), inserts, Op::Insert);
    }
    return grouped;
  }

 private:
  Snake MiddleSnake(int a0, int a1, int b0, int b1) {
    const int n = a1 - a0;
    const int m = b1 - b0;
    const int delta = n - m;
    const bool odd = (delta & 1) != 0;
    const int most = (n + m + 1) / 2;
    const int offset = most + 1;
    m_forward.assign(2 * offset + 1, 0);
    m_backward.assign(2 * offset + 1, 0);
    auto equal = [&](int x, int y) { return m_a[a0 + x] == m_b[b0 + y]; };
    auto equalBack = [&](int x, int y) { return m_a[a1 - 1 - x] == m_b[b1 - 1 - y]; };

    for (int d = 0; d <= most; ++d) {
      for (int k = -d; k <= d; k += 2) {
        int x = (k == -d || (k != d && m_forward[offset + k - 1] < m_forward[offset + k + 1]))
                    ? m_forward[offset + k + 1]
                    : m_forward[offset + k - 1] + 1;
        int y = x - k;
        const int xs = x, ys = y;
        while (x < n && y < m && equal(x, y)) ++x, ++y;
        m_forward[offset + k] = x;
        const int back = delta - k;
        if (odd && back >= -(d - 1) && back <= d - 1 && x + m_backward[offset + back] >= n) {
          return Snake{xs, ys, x, y};
        }
      }
      for (int k = -d; k <= d; k += 2) {
        int x = (k == -d || (k != d && m_backward[offset + k - 1] < m_backward[offset + k + 1]))
                    ? m_backward[offset + k + 1]
                    : m_backward[offset + k - 1] + 1;
        int y = x - k;
        const int xs = x, ys = y;
        while (x < n && y < m && equalBack(x, y)) ++x, ++y;
        m_backward[offset + k] = x;
        const int front = delta - k;
        if (!odd && front >= -d && front <= d && x + m_forward[offset + front] >= n) {
          return Snake{n - x, m - y, n - xs, m - ys};
        }
      }
    }
    return Snake{0, 0, 0, 0};  // not reached for texts whose ends differ
  }

  const Lines& m_a;
  const Lines& m_b;
  std::vector<Op> m_ops;
  std::vector<int> m_forward;
  std::vector<int> m_backward;
};

void AppendLine(std::string* out, char mark, std::string_view line) {
  *out += mark;
  out->append(line.data(), line.size());
  if (line.empty() || line.back() != '\n') *out += "\n\\ No newline at end of file\n";
}

std::string Range(int start, int count) {
  // A range of no lines names the line before it, as diff(1) does.
  if (count == 0) return std::to_string(start) + ",0";
  if (count == 1) return std::to_string(start + 1);
  return std::to_string(start + 1) + "," + std::to_string(count);
}

}  // namespace

std::string UnifiedDiff(const std::string& oldName, const std::string& oldText, const std::string& newName,
                        const std::string& newText, int context) {
  if (oldText == newText) return std::string();
  const Lines a = SplitLines(oldText);
  const Lines b = SplitLines(newText);
  Differ differ(a, b);
  differ.Run(0, static_cast<int>(a.size()), 0, static_cast<int>(b.size()));
  const std::vector<Op> ops = differ.GroupedOps();

  std::string out = "--- " + oldName + "\n+++ " + newName + "\n";
  const int total = static_cast<int>(ops.size());
  // Line numbers in a and b at the start of each op.
  std::vector<int> atA(total + 1), atB(total + 1);
  for (int i = 0; i < total; ++i) {
    atA[i + 1] = atA[i] + (ops[i] != Op::Insert ? 1 : 0);
    atB[i + 1] = atB[i] + (ops[i] != Op::Delete ? 1 : 0);
  }

  int i = 0;
  while (i < total) {
    while (i < total && ops[i] == Op::Equal) ++i;
    if (i == total) break;
    // A hunk runs from `context` lines before its first change to `context`
    // lines after its last one; changes closer than twice that share a hunk.
    int begin = std::max(0, i - context);
    int end = i;
    while (end < total) {
      while (end < total && ops[end] != Op::Equal) ++end;
      int equalRun = 0;
      while (end + equalRun < total && ops[end + equalRun] == Op::Equal) ++equalRun;
      if (end + equalRun == total || equalRun > 2 * context) {
        end = std::min(total, end + context);
        break;
      }
      end += equalRun;
    }
    out += "@@ -" + Range(atA[begin], atA[end] - atA[begin]) + " +" + Range(atB[begin], atB[end] - atB[begin]) +
           " @@\n";
    for (int j = begin; j < end; ++j) {
      switch (ops[j]) {
        case Op::Equal: AppendLine(&out, ' ', a[atA[j]]); break;
        case Op::Delete: AppendLine(&out, '-', a[atA[j]]); break;
        case Op::Insert: AppendLine(&out, '+', b[atB[j]]); break;
      }
    }
    i = end;
  }
  return out;
}

}  // namespace engine
