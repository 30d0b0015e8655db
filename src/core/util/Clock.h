#pragma once

namespace lanereport {

// A calendar date.
struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;

  bool operator==(const CivilDate&) const = default;
};

// Where "today" comes from: ages, default periods and reference dates all ask the current clock,
// so a test can pin the date.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilDate Today() const = 0;
};

// The local date of the machine.
class SystemClock : public Clock {
 public:
  CivilDate Today() const override;
};

// A clock that always shows the same date.
class FixedClock : public Clock {
 public:
  explicit FixedClock(CivilDate today) : today_(today) {}
  CivilDate Today() const override { return today_; }

 private:
  CivilDate today_;
};

// The clock in use: the system clock unless one has been put in its place.
const Clock& CurrentClock();
// Today's date as the clock in use shows it.
inline CivilDate Today() {
  return CurrentClock().Today();
}

// Puts clock in place of the one in use for as long as the object lives; the caller keeps clock
// alive that long. Meant for tests.
class ScopedClock {
 public:
  explicit ScopedClock(const Clock& clock);
  ~ScopedClock();
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  const Clock* previous_;
};

}  // namespace lanereport
