#include "ui/search_activity.h"

#include <atomic>

namespace {

// The window's one search; the worker ends it while the window thread may read it.
std::atomic<SearchActivity> activity{SearchActivity::Idle};

}  // namespace

SearchActivity WindowSearchActivity() { return activity.load(); }

void SetWindowSearchActivity(SearchActivity to) { activity.store(to); }

bool ChangeWindowSearchActivity(SearchActivity from, SearchActivity to) {
  return activity.compare_exchange_strong(from, to);
}
