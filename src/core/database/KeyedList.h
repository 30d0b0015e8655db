#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/Database.h"
#include "database/Recordset.h"
#include "util/AppError.h"
#include "util/StringUtil.h"

namespace lanereport {

// An ordered collection of record objects, each found by position (from 0) or by its key.
// Keys ignore letter case; an object added under a key that is already present is kept without
// a key (it is still found by position). The list owns its objects.
template <class T>
class KeyedList {
 public:
  std::size_t Count() const { return items_.size(); }
  T& Item(std::size_t index) { return *items_.at(index).record; }
  const T& Item(std::size_t index) const { return *items_.at(index).record; }
  // The object under the key; raises kErrNoData when none has it.
  T& Item(std::string_view key) {
    auto i = IndexOf(key);
    if (!i) throw AppError(kErrNoData, "Item", "該当するﾃﾞｰﾀは存在しません");
    return *items_[*i].record;
  }
  T* Find(std::string_view key) {
    auto i = IndexOf(key);
    return i ? items_[*i].record.get() : nullptr;
  }
  void Remove(std::size_t index) { items_.erase(items_.begin() + static_cast<long>(index)); }
  void Remove(std::string_view key) {
    if (auto i = IndexOf(key)) Remove(*i);
  }
  // Adds the object under the key; an empty key adds it without one.
  void Additem(std::unique_ptr<T> record, std::string key) {
    if (!key.empty() && IndexOf(key)) key.clear();
    items_.push_back({std::move(key), std::move(record)});
  }

  // Visits the objects in order (NewEnum).
  template <class F>
  void ForEach(F&& f) {
    for (auto& e : items_) f(*e.record);
  }

 private:
  struct Entry {
    std::string key;
    std::unique_ptr<T> record;
  };
  std::optional<std::size_t> IndexOf(std::string_view key) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (!items_[i].key.empty() && EqualsIgnoreCase(items_[i].key, key)) return i;
    }
    return std::nullopt;
  }
  std::vector<Entry> items_;
};

// Fills the list from the SELECT: one object per row, read with DataIO and keyed by key_of.
// Raises "該当するﾃﾞｰﾀは存在しません" (kErrNoData) when there is no row and
// "ﾃﾞｰﾀ取得に失敗しました" (kErrInvalidValue) when a row cannot be read; source is the given
// text. Objects read before a failure stay in the list.
// A master row that could not be read (error is what its record raised): reports it to the
// run's ReadProblemLog with a line naming the list, the row's name and number and the reason.
// False when no log is in force.
bool ReportUnreadableMaster(std::string_view source, Recordset& rs, const AppError& error);

template <class T, class KeyOf>
void SelectInto(KeyedList<T>& list, Database& db, const std::string& sql, const std::string& source,
                KeyOf key_of) {
  auto rs = db.OpenRecordset(sql);
  if (!rs->Eof()) {
    rs->MoveLast();
    rs->MoveFirst();
  }
  if (rs->RecordCount() == 0) throw AppError(kErrNoData, source, "該当するﾃﾞｰﾀは存在しません");
  const std::size_t before = list.Count();
  while (!rs->Eof()) {
    auto record = std::make_unique<T>(db);
    try {
      record->DataIO(*rs, true);
    } catch (const AppError& e) {
      if (e.Number() == kErrEngine) throw;
      // A run leaves the row out and says so at its end; elsewhere the selection is refused.
      if (!ReportUnreadableMaster(source, *rs, e))
        throw AppError(kErrInvalidValue, source, "ﾃﾞｰﾀ取得に失敗しました");
      rs->MoveNext();
      continue;
    }
    std::string key = key_of(*record);
    list.Additem(std::move(record), std::move(key));
    rs->MoveNext();
  }
  if (list.Count() == before) throw AppError(kErrNoData, source, "該当するﾃﾞｰﾀは存在しません");
}

}  // namespace lanereport
