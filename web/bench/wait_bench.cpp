// Pacing waits in the browser, strategy by strategy: back-to-back waits of 3 ms and 30 ms, each
// measured as its overshoot, the time it returned minus its deadline [ms]. The strategy comes from
// the page's query (?strategy=NAME&short=N&long=M); the figures are left in window.waitResults for
// wait_bench.py, which runs one page per strategy and adds the browser's CPU time.
#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "forms/web/wait.h"

namespace {

// clang-format off
// The variants around WaitUntil's recipe: an optional MessageChannel hop first, a timer until
// `margin` ms before the deadline, then optionally hops until the deadline. Module.keplerWait.hop
// is WaitUntil's own hop, made by its first call.
EM_ASYNC_JS(void, VariantWait, (double deadline, int hopFirst, double margin, int hopsAfter), {
  if (hopFirst) await Module.keplerWait.hop();
  const sleep = deadline - performance.now() - margin;
  if (sleep > 0) await new Promise(resolve => setTimeout(resolve, sleep));
  if (hopsAfter) while (performance.now() < deadline) await Module.keplerWait.hop();
});

EM_JS(void, Publish, (const char* json), {
  window.waitResults = JSON.parse(UTF8ToString(json));
});

EM_JS(void, MarkStarted, (), {
  window.waitStarted = true;
});
// clang-format on

std::string QueryValue(const std::string& query, const std::string& key,
                       const std::string& otherwise) {
  const std::string needle = key + "=";
  std::size_t at = query.find(needle);
  if (at == std::string::npos) return otherwise;
  at += needle.size();
  return query.substr(at, query.find('&', at) - at);
}

struct Stats {
  double min = 0, median = 0, max = 0, mean = 0;
};

Stats Summarise(std::vector<double> values) {
  Stats s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  s.min = values.front();
  s.median = values[values.size() / 2];
  s.max = values.back();
  for (const double v : values) s.mean += v;
  s.mean /= static_cast<double>(values.size());
  return s;
}

struct Variant {
  const char* name;
  int hopFirst;
  double margin;  // [ms] before the deadline that the timer ends
  int hopsAfter;
};

constexpr Variant kVariants[] = {
    {"timeout", 0, 0, 0},           {"hop-timeout", 1, 0, 0},
    {"timeout1-hops", 0, 1, 1},     {"hop-timeout0.5-hops", 1, 0.5, 1},
    {"hop-timeout2-hops", 1, 2, 1}, {"hops", 1, 1e9, 1},
};

void Wait(const std::string& strategy, double deadline, int delayMs) {
  if (strategy == "sleep") {
    emscripten_sleep(static_cast<unsigned>(delayMs));
    return;
  }
  for (const Variant& v : kVariants) {
    if (strategy == v.name) {
      VariantWait(deadline, v.hopFirst, v.margin, v.hopsAfter);
      return;
    }
  }
  web::WaitUntil(deadline);  // "WaitUntil": the page's own wait
}

std::string Measure(const std::string& strategy, int delayMs, int count) {
  std::vector<double> overshoots;
  const double begin = web::NowMs();
  for (int i = 0; i < count; ++i) {
    const double deadline = web::NowMs() + delayMs;
    Wait(strategy, deadline, delayMs);
    overshoots.push_back(web::NowMs() - deadline);
  }
  const double elapsed = web::NowMs() - begin;
  const Stats s = Summarise(overshoots);
  return "{\"delay\":" + std::to_string(delayMs) + ",\"count\":" + std::to_string(count) +
         ",\"min\":" + std::to_string(s.min) + ",\"median\":" + std::to_string(s.median) +
         ",\"max\":" + std::to_string(s.max) + ",\"mean\":" + std::to_string(s.mean) +
         ",\"elapsed\":" + std::to_string(elapsed) + "}";
}

}  // namespace

int main() {
  const std::string query = emscripten_run_script_string("location.search");
  const std::string strategy = QueryValue(query, "strategy", "WaitUntil");
  const int shortCount = std::stoi(QueryValue(query, "short", "200"));
  const int longCount = std::stoi(QueryValue(query, "long", "60"));
  web::WaitUntil(0);  // makes the hop the variants share
  MarkStarted();
  const std::string json = "{\"strategy\":\"" + strategy + "\",\"runs\":[" +
                           Measure(strategy, 3, shortCount) + "," +
                           Measure(strategy, 30, longCount) + "]}";
  Publish(json.c_str());
  return 0;
}
