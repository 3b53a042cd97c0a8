// A small runner of stateful properties: sequences of steps drawn from a
// seeded generator and run, from a fresh start each, against the real
// thing. A sequence that breaks the property is shrunk (steps dropped, a
// half, a quarter, ... at a time, then each step made simpler) to a short
// one that still breaks it, and given back with its seed, so that the run
// can be replayed and the sequence kept as a plain test. Built for the
// native and the Windows test programs alike.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace prop {

// splitmix64: the same numbers from a seed on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : m_state(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number from 0 to n - 1.
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
  }

 private:
  std::uint64_t m_state;
};

template <class Step>
struct Property {
  std::function<std::vector<Step>(Random&)> generate;
  // Runs the steps from a fresh start: what broke, or empty.
  std::function<std::string(const std::vector<Step>&)> run;
  // Simpler forms of a step; none when it is as simple as it gets.
  std::function<std::vector<Step>(const Step&)> simpler;
  std::function<std::string(const Step&)> show;
};

struct Counterexample {
  std::uint64_t seed = 0;
  std::size_t drawnSteps = 0;      // before shrinking
  std::vector<std::string> steps;  // after, as `show` gives them
  std::string failure;
  int shrinkRuns = 0;
};

// The sequences a property broke on, shrunk; none when it held on all.
template <class Step>
class Shrinker {
 public:
  Shrinker(const Property<Step>& property, int mostRuns) : m_property(property), m_mostRuns(mostRuns) {}

  // Shrinks the failing steps in place; gives the last failure.
  std::string Shrink(std::vector<Step>* steps, std::string failure) {
    for (bool progress = true; progress && m_runs < m_mostRuns;) {
      progress = false;
      for (std::size_t chunk = std::max<std::size_t>(steps->size() / 2, 1); chunk >= 1 && m_runs < m_mostRuns;
           chunk /= 2) {
        for (std::size_t at = 0; at + chunk <= steps->size() && m_runs < m_mostRuns;) {
          std::vector<Step> fewer(steps->begin(), steps->begin() + static_cast<std::ptrdiff_t>(at));
          fewer.insert(fewer.end(), steps->begin() + static_cast<std::ptrdiff_t>(at + chunk), steps->end());
          if (Fails(fewer, &failure)) {
            *steps = std::move(fewer);
            progress = true;
          } else {
            at += chunk;
          }
        }
        if (chunk == 1) break;
      }
      for (std::size_t at = 0; at < steps->size() && m_runs < m_mostRuns; ++at) {
        for (const Step& simpler : m_property.simpler((*steps)[at])) {
          std::vector<Step> candidate = *steps;
          candidate[at] = simpler;
          if (!Fails(candidate, &failure)) continue;
          *steps = std::move(candidate);
          progress = true;
          break;
        }
      }
    }
    return failure;
  }
  int Runs() const { return m_runs; }

 private:
  bool Fails(const std::vector<Step>& steps, std::string* failure) {
    ++m_runs;
    const std::string broke = m_property.run(steps);
    if (broke.empty()) return false;
    *failure = broke;
    return true;
  }

  const Property<Step>& m_property;
  int m_mostRuns;
  int m_runs = 0;
};

// Runs `sequences` sequences, seeds firstSeed, firstSeed + 1, ...; the
// first that breaks the property comes back shrunk.
template <class Step>
std::optional<Counterexample> Check(const Property<Step>& property, std::uint64_t firstSeed, int sequences,
                                    int mostShrinkRuns = 300) {
  for (int i = 0; i < sequences; ++i) {
    const std::uint64_t seed = firstSeed + static_cast<std::uint64_t>(i);
    Random random(seed);
    std::vector<Step> steps = property.generate(random);
    std::string failure = property.run(steps);
    if (failure.empty()) continue;
    Counterexample found;
    found.seed = seed;
    found.drawnSteps = steps.size();
    Shrinker<Step> shrinker(property, mostShrinkRuns);
    found.failure = shrinker.Shrink(&steps, failure);
    found.shrinkRuns = shrinker.Runs();
    for (const Step& step : steps) found.steps.push_back(property.show(step));
    return found;
  }
  return std::nullopt;
}

}  // namespace prop
