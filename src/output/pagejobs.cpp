#include "output/pagejobs.h"

#include <algorithm>
#include <new>

#include "i18n/texts.h"

namespace output {

PageJobs::PageJobs(int threads) {
  if (threads < 0) threads = std::max(1u, std::thread::hardware_concurrency());
  capacity_ = static_cast<size_t>(threads) + 1;
  for (int i = 0; i < threads; ++i) workers_.emplace_back([this] { Run(); });
}

PageJobs::~PageJobs() {
  Wait();
  {
    std::lock_guard<std::mutex> lock(mu_);
    stop_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : workers_) t.join();
}

void PageJobs::Record(int32_t page, const std::string& error) {
  if (error.empty())
    ++succeeded_;
  else
    failures_.emplace(page, error);
}

static std::string RunWork(PageJobs::Work& work, dib& bitmap, int32_t page) {
  try {
    return work(bitmap);
  } catch (const std::bad_alloc&) {
    return i18n::SayUtf8(i18n::Text::NoMemoryForPage, {i18n::Decimal(page)});
  }
}

void PageJobs::Submit(int32_t page, dib&& bitmap, Work work) {
  if (workers_.empty()) {
    const std::string error = RunWork(work, bitmap, page);
    std::lock_guard<std::mutex> lock(mu_);
    Record(page, error);
    return;
  }
  std::unique_lock<std::mutex> lock(mu_);
  space_.wait(lock, [this] { return queue_.size() + static_cast<size_t>(busy_) < capacity_; });
  queue_.push_back(Job{page, std::move(bitmap), std::move(work)});
  lock.unlock();
  wake_.notify_one();
}

void PageJobs::Wait() {
  std::unique_lock<std::mutex> lock(mu_);
  idle_.wait(lock, [this] { return queue_.empty() && busy_ == 0; });
}

void PageJobs::Run() {
  for (;;) {
    std::unique_lock<std::mutex> lock(mu_);
    wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
    if (queue_.empty()) return;  // stopping
    Job job = std::move(queue_.front());
    queue_.pop_front();
    ++busy_;
    lock.unlock();
    const std::string error = RunWork(job.work, job.bitmap, job.page);
    job.bitmap = dib();  // free the page before the next one is let in
    lock.lock();
    Record(job.page, error);
    --busy_;
    lock.unlock();
    space_.notify_one();
    idle_.notify_all();
  }
}

}  // namespace output
