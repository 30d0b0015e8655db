#pragma once

#include <string>
#include <string_view>

namespace lanereport {

class Database;
class MasterRecord;

// The three master tables a game refers to by name.
enum class MasterKind { Bowler, Alley, Level };

// What a master is called in messages: "ボウラー", "ボウリング場", "レベル".
std::string MasterKindName(MasterKind kind);

// The games that refer to the master of that name.
long GamesUsing(Database& db, MasterKind kind, std::string_view name);

// The rows of the master table.
long MasterCount(Database& db, MasterKind kind);

// The number a new master would take so that it comes last in number order: one more than the
// highest, 1 for an empty table.
long NextMasterNumber(Database& db, MasterKind kind);

// The question asked before a master that games use is renamed; empty when the change renames
// no game (same name, or no game under the old one).
std::string RenameQuestion(Database& db, MasterKind kind, std::string_view old_name,
                           std::string_view new_name);

// Writes a master changed after it was loaded (Load, so that it knows the name it was stored
// under): the record's Update by its ID, which moves the games under the old name to the new
// one, all in one transaction, so a refusal or a failure changes neither the master nor any
// game. The record's refusals (duplicate names, missing fields) reach the caller.
void UpdateMaster(Database& db, MasterRecord& record);

// Adds a new master: the record's Add (duplicate names refused by it).
void AddMaster(Database& db, MasterRecord& record);

// Deletes the master of the record's name. Refused with kErrNoData when games use it
// ("…は N ゲームで使われているため削除出来ません") or when it is the last of its table, without
// which the windows cannot start ("最後の…は削除出来ません").
void DeleteMaster(Database& db, MasterKind kind, MasterRecord& record, std::string_view name);

}  // namespace lanereport
