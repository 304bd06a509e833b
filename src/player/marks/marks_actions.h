#pragma once
// The marks menu items of the player window: captions, commands and enabling as the marks
// say. The window may hand in the items it placed in its menus; missing ones are made here.
#include <QObject>

class QAction;

namespace marks {

class MarksController;

struct MarksMenuItems {
    QAction* mnuRngEdit = nullptr;   // "前往標記清單　　 　F2"
    QAction* mnuRngClear = nullptr;  // "清除所有標記"
    QAction* mnuRngPlay[2] = {};  // "單次播放標記　　 　Enter", "循環播放標記　   Ctr+Enter"
    QAction* mnuSaveRng = nullptr;      // "另存裁剪" (all segments joined into one file)
    QAction* mnuSaveCut = nullptr;      // "另存分割" (each segment to its own file)
    QAction* mnuAutoAddMark = nullptr;  // "總是自動附加標記", checkable
    QAction* mnuExactCut = nullptr;  // "精確裁剪（只重新編碼區段開頭）", checkable
};

class MarksActions : public QObject {
    Q_OBJECT
  public:
    MarksActions(MarksController& marks, MarksMenuItems items = {}, QObject* parent = nullptr);

    const MarksMenuItems& items() const { return items_; }

  public slots:
    void sync();

  signals:
    // The save jobs are not part of the marks; whoever runs them listens here.
    void saveRngRequested();
    void saveCutRequested();

  private:
    MarksController& marks_;
    MarksMenuItems items_;
};

}  // namespace marks
