#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "entry/MasterUpkeep.h"

class QLabel;
class QTabWidget;

namespace lanereport {
class Database;
class MessageWindow;
class AppError;
}  // namespace lanereport

namespace lanereport::gui {

class MasterPage;
class WindowMessages;

// The masters window "マスタ登録": one tab each for the bowlers (tab 0, every field of the
// bowler record, the profile's included), the bowling centres (tab 1, with the home flag) and
// the levels (tab 2, with the counted flag). Each tab lists its masters in number order
// (lstBowler, lstAlley, lstLevel); choosing one shows its fields, "新規" empties them for a new
// one with the next number, "追加" adds, "更新" changes and "削除" deletes the chosen one, all
// through the master records with their messages. A change of name that games use says how
// many games it moves and asks first; the games move with it in the same transaction. A
// master games use, or the last of its table, is not deleted.
class frmMasters : public QWidget {
  Q_OBJECT

 public:
  explicit frmMasters(Database& db, QWidget* parent = nullptr);
  // messages: the message windows to use (not owned); null for the program's own.
  frmMasters(Database& db, MessageWindow* messages, QWidget* parent = nullptr);
  ~frmMasters() override;

  frmMasters(const frmMasters&) = delete;
  frmMasters& operator=(const frmMasters&) = delete;

  // The buttons of the tab of kind.
  void cmdNew_Click(MasterKind kind);
  bool cmdAdd_Click(MasterKind kind);
  bool cmdUpdate_Click(MasterKind kind);
  bool cmdDelete_Click(MasterKind kind);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  MessageWindow& Messages();
  MasterPage& Page(MasterKind kind);
  // Shows why the page's record was refused and gives the focus to the field it is about.
  void ShowRefusal(MasterPage& page, const AppError& e, QWidget* refused);

  Database& db_;
  std::unique_ptr<WindowMessages> own_messages_;
  MessageWindow* messages_;
  QTabWidget* tabMasters_;
  std::array<std::unique_ptr<MasterPage>, 3> pages_;
};

}  // namespace lanereport::gui
