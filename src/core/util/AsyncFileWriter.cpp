#include "util/AsyncFileWriter.h"

namespace lanereport {

AsyncFileWriter::AsyncFileWriter() : thread_([this] { Run(); }) {}

AsyncFileWriter::~AsyncFileWriter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void AsyncFileWriter::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // closing, nothing left
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    if (failure_) continue;  // after a failure nothing more is written
    busy_ = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      job();
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    busy_ = false;
    if (failure) {
      failure_ = failure;
      jobs_.clear();
    }
    // The caller is woken when its wait can end: the queue half empty (a full queue waits for
    // that), everything written, or a failure; not after every job.
    if (failure || jobs_.size() <= kMaxWaiting / 2) changed_.notify_all();
  }
}

void AsyncFileWriter::RaiseFailure() {
  if (failure_ && !failure_raised_) {
    failure_raised_ = true;
    std::rethrow_exception(failure_);
  }
}

void AsyncFileWriter::Submit(std::function<void()> job) {
  std::unique_lock<std::mutex> lock(mutex_);
  // A full queue is let drain to half before the caller goes on, so the two threads do not take
  // turns job by job.
  if (jobs_.size() >= kMaxWaiting)
    changed_.wait(lock, [this] { return failure_ || jobs_.size() <= kMaxWaiting / 2; });
  RaiseFailure();
  if (failure_) return;  // raised before: the run is over, nothing more is written
  jobs_.push_back(std::move(job));
  const bool was_idle = jobs_.size() == 1;
  lock.unlock();
  // The thread waits only with nothing to do.
  if (was_idle) changed_.notify_all();
}

void AsyncFileWriter::Finish() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failure_ || (jobs_.empty() && !busy_); });
  RaiseFailure();
}

}  // namespace lanereport
