#pragma once
// The menu items the shell adds to the main window (saving, the two exits, the start-up
// list, the install folder, help and downloads) and the small commands behind them.
#include <QObject>
#include <array>

class QAction;
class QMenu;
class frmMain;

namespace app {

// The items of mnuEnd.
inline constexpr int kEndSaving = 0;
inline constexpr int kEndWithoutSaving = 1;

class ShellMenus : public QObject {
    Q_OBJECT
  public:
    explicit ShellMenus(frmMain& window, QObject* parent = nullptr);

    QAction* mnuSaveNow = nullptr;
    std::array<QAction*, 2> mnuEnd{};
    QAction* mnuStartList = nullptr;  // checkable: open the play list at start-up

  signals:
    void saveNowRequested();
    // index as in mnuEnd.
    void endRequested(int index);

  private:
    void addHelpItems(frmMain& window, QMenu* help);
};

}  // namespace app
