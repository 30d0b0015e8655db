#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace lanereport {

// Writes files on a thread of its own while the caller goes on making the next ones: the jobs
// (each one whole write, MakeFile) run one after another in the order given. What reaches the
// disk is what writing them in turn would leave: when a job fails, the jobs after it are not
// run, and its error is raised to the caller by the next Submit or by Finish. At most a few
// jobs wait at a time, so the memory they hold stays small. Only the caller's thread may call
// the members.
class AsyncFileWriter {
 public:
  AsyncFileWriter();
  // Runs the jobs still waiting (unless one failed) and ends the thread; raises nothing.
  ~AsyncFileWriter();
  AsyncFileWriter(const AsyncFileWriter&) = delete;
  AsyncFileWriter& operator=(const AsyncFileWriter&) = delete;

  // Queues the job, waiting while the queue is full. Raises the error of a job that failed.
  void Submit(std::function<void()> job);
  // Waits until every job has run; raises the error of a job that failed.
  void Finish();

 private:
  void Run();
  void RaiseFailure();

  static constexpr std::size_t kMaxWaiting = 16;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false;  // a job is running
  bool closing_ = false;
  std::exception_ptr failure_;
  bool failure_raised_ = false;
  std::thread thread_;
};

}  // namespace lanereport
