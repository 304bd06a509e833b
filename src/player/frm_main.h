#pragma once
// The main window: the video area and the control panel. It builds the widgets, owns the
// parts that drive them and routes the widgets' events to those parts; callers reach the
// parts directly (playback(), opener(), transport() ...).
#include <QMainWindow>
#include <memory>

#include "media/mci.h"
#include "player/player_links.h"
#include "player/player_state.h"
#include "player/player_ui.h"

class MciDevice;
class frmCap;

namespace keyframes {
class KeyframeIndexer;
}  // namespace keyframes
namespace marks {
class MarksActions;
class MarksController;
}  // namespace marks

namespace player {
// The menus other rooms add their items to.
enum class MenuSlot { File, List, Tools, Help };
// Items of the window's own menus that other rooms give their work.
enum class ItemSlot { PlayLists, FileList, SaveFile, Explorer };

class KeyframeStep;
class MediaOpener;
class PlaybackController;
class WindowMarks;
class MarksView;
class StatusTick;
class PlayerView;
class TransportView;
}  // namespace player

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    // device: the media device of the playback object (nullptr: defaultMciDevice()).
    explicit frmMain(MciDevice* device = nullptr, QWidget* parent = nullptr);
    ~frmMain() override;

    // Dialog filters built from the pattern lists and MoreFormats (call again after
    // MoreFormats changes).
    void buildFilters();
    QString OpenFilter() const { return openFilter_; }
    QString EditFilter() const { return editFilter_; }

    MCI& media() { return *media_; }
    // What the player is (play state, file, position, speed ...), with its change signals.
    player::PlayerState& state() { return state_; }
    // The list window and the marks as the controllers reach them.
    player::PlayerLinks& links() { return links_; }
    // Play, pause, stop and the end of play.
    player::PlaybackController& playback() { return *playback_; }
    // Opening files, their failure and release.
    player::MediaOpener& opener() { return *opener_; }
    // The status timer.
    player::StatusTick& status() { return *status_; }
    // The widgets as the state shows them.
    player::PlayerView& view() { return *view_; }
    // Speed, jumps, the bar, volume, sizing and the keyboard.
    player::TransportView& transport() { return *transport_; }
    // Segments and segment play; the marks menus' commands.
    marks::MarksController& marks();
    marks::MarksActions& marksActions();
    // The keyframes of the files opened this session, indexed beside the window.
    keyframes::KeyframeIndexer& keyframes() { return *keyframes_; }
    QMenu& menu(player::MenuSlot which);
    QAction& item(player::ItemSlot which);
    // Keyboard focus to the panel's file icon (away from the lists), or to the video.
    void focusPanel();
    void focusVideo();
    // The previous and next item buttons follow whether the list has items.
    void setItemButtonsEnabled(bool on);

    // The capture window (made on first use; hidden until a capture).
    frmCap& capture();
    // "另存畫面" and Home: pause, then take the picture the video area shows.
    void mnuSaveCap_Click();

  signals:
    // Every key press the window sees, before the player's own table runs.
    void keyPressed(int key, int modifiers);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void connectParts();
    void connectUi();
    void connectKeyframes();

    player::PlayerUi ui_;
    player::PlayerState state_;
    player::PlayerLinks links_;
    std::unique_ptr<MCI> media_;
    std::unique_ptr<player::PlayerView> view_;
    std::unique_ptr<player::PlaybackController> playback_;
    std::unique_ptr<player::StatusTick> status_;
    std::unique_ptr<player::MediaOpener> opener_;
    std::unique_ptr<player::TransportView> transport_;
    std::unique_ptr<keyframes::KeyframeIndexer> keyframes_;
    std::unique_ptr<player::KeyframeStep> keyframeStep_;
    std::unique_ptr<player::WindowMarks> marks_;
    std::unique_ptr<player::MarksView> marksView_;  // last: it goes first, before the marks
    frmCap* cap_ = nullptr;                         // a child window, deleted with this one
    QString openFilter_;
    QString editFilter_;
};
