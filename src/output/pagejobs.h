// Finishing and saving page bitmaps on worker threads while the next page
// renders. Each page is one job that owns its bitmap and does all of its
// own work (shading, encoding, writing its files), so the files' bytes do
// not depend on how many threads run or in which order jobs finish.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "imaging/dib/dib.h"

namespace output {

class PageJobs {
 public:
  // A job's work; returns an empty string or what went wrong (naming the
  // file). It may change the bitmap.
  using Work = std::function<std::string(dib&)>;

  // `threads` workers; -1: one per core (at least one), 0: every job runs
  // inside Submit on the calling thread. At most threads + 1 bitmaps wait,
  // so memory stays bounded whatever the page count.
  explicit PageJobs(int threads);
  ~PageJobs();  // waits for the submitted jobs
  PageJobs(const PageJobs&) = delete;
  PageJobs& operator=(const PageJobs&) = delete;

  // Queues the work for `page`; blocks while the queue is full.
  void Submit(int32_t page, dib&& bitmap, Work work);
  // Waits until every submitted job is done.
  void Wait();
  // After Wait: the pages whose work succeeded, and the failures by page.
  int32_t Succeeded() const { return succeeded_; }
  const std::map<int32_t, std::string>& Failures() const { return failures_; }

 private:
  struct Job {
    int32_t page;
    dib bitmap;
    Work work;
  };
  void Run();
  void Record(int32_t page, const std::string& error);

  std::vector<std::thread> workers_;
  size_t capacity_ = 1;
  std::mutex mu_;
  std::condition_variable wake_, space_, idle_;
  std::deque<Job> queue_;
  int busy_ = 0;
  bool stop_ = false;
  int32_t succeeded_ = 0;
  std::map<int32_t, std::string> failures_;
};

}  // namespace output
