#include "text/UnifiedDiff.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace engine {

namespace {

enum class Op : char { Equal, Delete, Insert };

// A text's lines, each up to and including its line feed, as the offsets
// where they begin: four bytes a line.
class TextLines {
 public:
  explicit TextLines(const std::string& text) : m_text(text) {
    for (std::size_t start = 0; start < text.size();) {
      m_starts.push_back(static_cast<std::uint32_t>(start));
      const std::size_t end = text.find('\n', start);
      start = end == std::string::npos ? text.size() : end + 1;
    }
    m_starts.push_back(static_cast<std::uint32_t>(text.size()));
  }
  int size() const { return static_cast<int>(m_starts.size()) - 1; }
  std::string_view operator[](int i) const {
    return std::string_view(m_text).substr(m_starts[i], m_starts[i + 1] - m_starts[i]);
  }

 private:
  const std::string& m_text;
  std::vector<std::uint32_t> m_starts;
};

// A matched pair: line x of the old text is line y of the new one.
struct Match {
  int x, y;
};

// The lines between the common head and tail of both texts as numbers,
// equal lines by equal numbers, with how often each occurs in each text.
struct Numbered {
  int a0 = 0, b0 = 0;
  std::vector<std::uint32_t> a, b;
  std::vector<std::uint32_t> inA, inB;
  std::uint32_t A(int x) const { return a[static_cast<std::size_t>(x - a0)]; }
  std::uint32_t B(int y) const { return b[static_cast<std::size_t>(y - b0)]; }
};

Numbered NumberLines(const TextLines& a, int a0, int a1, const TextLines& b, int b0, int b1) {
  Numbered n;
  n.a0 = a0;
  n.b0 = b0;
  std::unordered_map<std::string_view, std::uint32_t> ids;
  auto number = [&](std::string_view line, std::vector<std::uint32_t>* counts, std::vector<std::uint32_t>* other) {
    const auto found = ids.emplace(line, static_cast<std::uint32_t>(ids.size()));
    if (found.second) {
      counts->push_back(0);
      other->push_back(0);
    }
    ++(*counts)[found.first->second];
    return found.first->second;
  };
  n.a.reserve(static_cast<std::size_t>(a1 - a0));
  n.b.reserve(static_cast<std::size_t>(b1 - b0));
  for (int i = a0; i < a1; ++i) n.a.push_back(number(a[i], &n.inA, &n.inB));
  for (int i = b0; i < b1; ++i) n.b.push_back(number(b[i], &n.inB, &n.inA));
  return n;
}

// Lines that occur once in each text, matched where they keep their order
// (the longest such chain): they split the texts into small gaps that are
// compared on their own. Ascending in both texts.
std::vector<Match> UniqueAnchors(const Numbered& n, int a0, int a1, int b0, int b1) {
  std::vector<int> inB(n.inA.size(), -1);
  for (int y = b0; y < b1; ++y) {
    if (n.inA[n.B(y)] == 1 && n.inB[n.B(y)] == 1) inB[n.B(y)] = y;
  }
  std::vector<Match> candidates;
  for (int x = a0; x < a1; ++x) {
    if (inB[n.A(x)] >= 0) candidates.push_back(Match{x, inB[n.A(x)]});
  }
  // The longest chain ascending in y (patience sorting): tails[k] ends the
  // best chain of length k + 1 found so far.
  std::vector<int> tails, previous(candidates.size(), -1);
  for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
    const auto at = std::lower_bound(tails.begin(), tails.end(), candidates[i].y,
                                     [&](int k, int y) { return candidates[k].y < y; });
    if (at != tails.begin()) previous[i] = *(at - 1);
    if (at == tails.end()) {
      tails.push_back(i);
    } else {
      *at = i;
    }
  }
  std::vector<Match> chain;
  for (int i = tails.empty() ? -1 : tails.back(); i >= 0; i = previous[i]) chain.push_back(candidates[i]);
  std::reverse(chain.begin(), chain.end());
  return chain;
}

// Myers' shortest edit script in linear space, over sequences of line
// numbers, with a limit on the work: a part whose script would cost more
// is given up as changed whole, which is still a valid diff (the diff need
// not be the smallest). Matches are collected in any order.
class BoundedDiffer {
 public:
  BoundedDiffer(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, long long budget,
                std::vector<Match>* matches)
      : m_a(a), m_b(b), m_budget(budget), m_matches(matches) {}

  // What is left of the budget (below zero once it ran out).
  long long Left() const { return m_budget; }

  void Run() {
    std::vector<Part> parts{Part{0, static_cast<int>(m_a.size()), 0, static_cast<int>(m_b.size())}};
    while (!parts.empty()) {
      Part p = parts.back();
      parts.pop_back();
      while (p.a0 < p.a1 && p.b0 < p.b1 && m_a[p.a0] == m_b[p.b0]) Matched(p.a0++, p.b0++);
      while (p.a0 < p.a1 && p.b0 < p.b1 && m_a[p.a1 - 1] == m_b[p.b1 - 1]) Matched(--p.a1, --p.b1);
      if (p.a0 == p.a1 || p.b0 == p.b1) continue;
      Snake s;
      if (!MiddleSnake(p, &s)) continue;  // over the budget: changed whole
      for (int k = 0; k < s.x1 - s.x0; ++k) Matched(p.a0 + s.x0 + k, p.b0 + s.y0 + k);
      parts.push_back(Part{p.a0, p.a0 + s.x0, p.b0, p.b0 + s.y0});
      parts.push_back(Part{p.a0 + s.x1, p.a1, p.b0 + s.y1, p.b1});
    }
  }

 private:
  struct Part {
    int a0, a1, b0, b1;
  };
  struct Snake {
    int x0, y0, x1, y1;
  };

  void Matched(int x, int y) { m_matches->push_back(Match{x, y}); }

  // The middle snake of a part whose ends differ; false when finding it
  // would go over the budget.
  bool MiddleSnake(const Part& p, Snake* snake) {
    const int n = p.a1 - p.a0;
    const int m = p.b1 - p.b0;
    const int delta = n - m;
    const bool odd = (delta & 1) != 0;
    const int most = (n + m + 1) / 2;
    const int offset = most + 1;
    m_forward.assign(2 * static_cast<std::size_t>(offset) + 1, 0);
    m_backward.assign(2 * static_cast<std::size_t>(offset) + 1, 0);
    m_budget -= 2 * offset;
    auto equal = [&](int x, int y) { return m_a[p.a0 + x] == m_b[p.b0 + y]; };
    auto equalBack = [&](int x, int y) { return m_a[p.a1 - 1 - x] == m_b[p.b1 - 1 - y]; };

    for (int d = 0; d <= most; ++d) {
      m_budget -= 2 * (d + 1);
      if (m_budget < 0) return false;
      for (int k = -d; k <= d; k += 2) {
        int x = (k == -d || (k != d && m_forward[offset + k - 1] < m_forward[offset + k + 1]))
                    ? m_forward[offset + k + 1]
                    : m_forward[offset + k - 1] + 1;
        int y = x - k;
        const int xs = x, ys = y;
        while (x < n && y < m && equal(x, y)) ++x, ++y;
        m_budget -= x - xs;
        m_forward[offset + k] = x;
        const int back = delta - k;
        if (odd && back >= -(d - 1) && back <= d - 1 && x + m_backward[offset + back] >= n) {
          *snake = Snake{xs, ys, x, y};
          return true;
        }
      }
      for (int k = -d; k <= d; k += 2) {
        int x = (k == -d || (k != d && m_backward[offset + k - 1] < m_backward[offset + k + 1]))
                    ? m_backward[offset + k + 1]
                    : m_backward[offset + k - 1] + 1;
        int y = x - k;
        const int xs = x, ys = y;
        while (x < n && y < m && equalBack(x, y)) ++x, ++y;
        m_budget -= x - xs;
        m_backward[offset + k] = x;
        const int front = delta - k;
        if (!odd && front >= -d && front <= d && x + m_forward[offset + front] >= n) {
          *snake = Snake{n - x, m - y, n - xs, m - ys};
          return true;
        }
      }
    }
    return false;  // not reached for parts whose ends differ
  }

  const std::vector<std::uint32_t>& m_a;
  const std::vector<std::uint32_t>& m_b;
  long long m_budget;
  std::vector<Match>* m_matches;
  std::vector<int> m_forward;
  std::vector<int> m_backward;
};

// The most steps the compare of all gaps together may take, beyond the
// steps that every line costs: a tenth of a second or so. Past it, a gap is
// shown as changed whole.
constexpr long long kDiffBudget = 1ll << 25;

// Matches in the gap between two anchors. Lines that occur nowhere in the
// other text cannot match and are left out of the compare (when the run
// lower-cases a whole file, that is nearly every line); the others are
// compared with what is left of the budget.
void MatchGap(const Numbered& n, int a0, int a1, int b0, int b1, long long* budget, std::vector<Match>* matches) {
  std::vector<int> xs, ys;
  std::vector<std::uint32_t> ra, rb;
  for (int x = a0; x < a1; ++x) {
    if (n.inB[n.A(x)]) xs.push_back(x), ra.push_back(n.A(x));
  }
  for (int y = b0; y < b1; ++y) {
    if (n.inA[n.B(y)]) ys.push_back(y), rb.push_back(n.B(y));
  }
  if (ra.empty() || rb.empty()) return;
  // No gap takes the whole budget: a later one may be small and cheap.
  const long long size = static_cast<long long>(ra.size() + rb.size());
  const long long allowed = std::max(0ll, std::min(*budget, 64 * size + (1ll << 16)));
  std::vector<Match> found;
  BoundedDiffer differ(ra, rb, allowed, &found);
  differ.Run();
  *budget -= allowed - std::max(0ll, differ.Left());
  for (const Match& match : found) matches->push_back(Match{xs[match.x], ys[match.y]});
}

// The edit script of the lines between the common head and tail: the
// matched lines in ascending order, every other old line deleted and every
// other new line inserted; within each run of changes the deletions come
// first, as diff(1) shows them.
void AppendScript(const std::vector<Match>& matches, int a0, int a1, int b0, int b1, std::vector<Op>* ops) {
  int x = a0, y = b0;
  auto changes = [&](int toX, int toY) {
    ops->insert(ops->end(), static_cast<std::size_t>(toX - x), Op::Delete);
    ops->insert(ops->end(), static_cast<std::size_t>(toY - y), Op::Insert);
    x = toX;
    y = toY;
  };
  for (const Match& match : matches) {
    changes(match.x, match.y);
    ops->push_back(Op::Equal);
    ++x, ++y;
  }
  changes(a1, b1);
}

std::vector<Op> EditScript(const TextLines& a, const TextLines& b) {
  int a0 = 0, b0 = 0, a1 = a.size(), b1 = b.size();
  while (a0 < a1 && b0 < b1 && a[a0] == b[b0]) ++a0, ++b0;
  while (a0 < a1 && b0 < b1 && a[a1 - 1] == b[b1 - 1]) --a1, --b1;
  std::vector<Op> ops(static_cast<std::size_t>(a0), Op::Equal);
  std::vector<Match> matches;
  if (a0 < a1 && b0 < b1) {
    const Numbered n = NumberLines(a, a0, a1, b, b0, b1);
    long long budget = kDiffBudget;
    const std::vector<Match> anchors = UniqueAnchors(n, a0, a1, b0, b1);
    int x = a0, y = b0;
    for (const Match& anchor : anchors) {
      MatchGap(n, x, anchor.x, y, anchor.y, &budget, &matches);
      matches.push_back(anchor);
      x = anchor.x + 1;
      y = anchor.y + 1;
    }
    MatchGap(n, x, a1, y, b1, &budget, &matches);
    std::sort(matches.begin(), matches.end(), [](const Match& l, const Match& r) { return l.x < r.x; });
  }
  AppendScript(matches, a0, a1, b0, b1, &ops);
  ops.insert(ops.end(), static_cast<std::size_t>(a.size() - a1), Op::Equal);
  return ops;
}

// Writes the diff's text into `out`, or, with `out` null, only counts its
// bytes, so that the text is made in a string of its exact size: a diff
// of a whole file may be twice the file's size.
class DiffWriter {
 public:
  explicit DiffWriter(std::string* out) : m_out(out) {}
  void Add(std::string_view text) {
    if (m_out) m_out->append(text.data(), text.size());
    m_size += text.size();
  }
  void Line(char mark, std::string_view line) {
    Add(std::string_view(&mark, 1));
    Add(line);
    if (line.empty() || line.back() != '\n') Add("\n\\ No newline at end of file\n");
  }
  std::size_t Size() const { return m_size; }

 private:
  std::string* m_out;
  std::size_t m_size = 0;
};

std::string Range(int start, int count) {
  // A range of no lines names the line before it, as diff(1) does.
  if (count == 0) return std::to_string(start) + ",0";
  if (count == 1) return std::to_string(start + 1);
  return std::to_string(start + 1) + "," + std::to_string(count);
}

void WriteDiff(const std::string& oldName, const TextLines& a, const std::string& newName, const TextLines& b,
               const std::vector<Op>& ops, int context, DiffWriter* out) {
  out->Add("--- " + oldName + "\n+++ " + newName + "\n");
  const int total = static_cast<int>(ops.size());
  int i = 0;
  int atA = 0, atB = 0;  // the lines of a and b before op i
  while (i < total) {
    while (i < total && ops[i] == Op::Equal) ++i, ++atA, ++atB;
    if (i == total) break;
    // A hunk runs from `context` lines before its first change to `context`
    // lines after its last one; changes closer than twice that share a hunk.
    const int lead = std::min(context, std::min(atA, atB));
    const int begin = i - lead;
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
    int countA = 0, countB = 0;
    for (int j = begin; j < end; ++j) {
      countA += ops[j] != Op::Insert;
      countB += ops[j] != Op::Delete;
    }
    const int startA = atA - lead, startB = atB - lead;
    out->Add("@@ -" + Range(startA, countA) + " +" + Range(startB, countB) + " @@\n");
    int x = startA, y = startB;
    for (int j = begin; j < end; ++j) {
      switch (ops[j]) {
        case Op::Equal: out->Line(' ', a[x++]); ++y; break;
        case Op::Delete: out->Line('-', a[x++]); break;
        case Op::Insert: out->Line('+', b[y++]); break;
      }
    }
    atA = x;
    atB = y;
    i = end;
  }
}

}  // namespace

std::string UnifiedDiff(const std::string& oldName, const std::string& oldText, const std::string& newName,
                        const std::string& newText, int context) {
  if (oldText == newText) return std::string();
  const TextLines a(oldText);
  const TextLines b(newText);
  const std::vector<Op> ops = EditScript(a, b);
  DiffWriter measure(nullptr);
  WriteDiff(oldName, a, newName, b, ops, context, &measure);
  std::string out;
  out.reserve(measure.Size());
  DiffWriter writer(&out);
  WriteDiff(oldName, a, newName, b, ops, context, &writer);
  return out;
}

}  // namespace engine
