#pragma once
// The command-string device on libmpv: one mpv handle per alias.
//
// Understood: open, close, "close all", play [from a] [to b] [repeat], pause, resume, stop,
// seek A to N|start|end, step A by N, set A time format frames|ms|milliseconds,
// set A audio all on|off, set A speed N, setaudio A volume to N,
// status A mode|position|length|frame rate|speed|audio|volume|time format|ready|
// number of tracks (and "length track n", "position track n"),
// where A source|destination [max], put A window at x y w h.
//
// Frames are seconds x the frame rate fixed at open (the container's, else the video
// stream's average); a file without video counts milliseconds. "parent N" names a
// registered VideoSurface (VideoSurface::surfaceId()); without one the video is decoded
// but not shown. The surface's stretch() decides whether the picture fills the put window or
// keeps its shape inside it. mode answers playing, paused, stopped, seeking or not ready.
#include <QString>
#include <map>
#include <memory>

#include "media/mci_device.h"

class MpvPlayer;
struct MciCommand;

// Result codes (0 is success); the values follow the classic command-string interface.
namespace mcierr {
constexpr int kUnrecognizedKeyword = 259;
constexpr int kUnrecognizedCommand = 261;
constexpr int kInvalidDeviceName = 263;
constexpr int kMissingParameter = 273;
constexpr int kUnsupportedFunction = 274;
constexpr int kFileNotFound = 275;
constexpr int kOutOfRange = 282;
constexpr int kDuplicateAlias = 289;
constexpr int kBadTimeFormat = 293;
constexpr int kInvalidFile = 296;
constexpr int kNoWindow = 346;
}  // namespace mcierr

class MpvMciDevice : public MciDevice {
  public:
    struct Options {
        bool headless = false;      // ao=null; video still goes to a surface when one is named
        int openTimeoutMs = 10000;  // a missing or unplayable file fails much sooner
    };

    // Options from the environment: LUMBA_HEADLESS=1 selects headless.
    // LUMBA_MCI_TRACE=1 writes every command and its result to standard error.
    MpvMciDevice();
    explicit MpvMciDevice(const Options& options);
    ~MpvMciDevice() override;

    int send(const QString& command, QString* reply) override;

    // The player behind an open alias, or nullptr (capture support, tests).
    MpvPlayer* player(const QString& alias) const;

  private:
    struct Device;

    int execute(const QString& command, QString* reply);
    int open(const MciCommand& c);
    int play(Device& d, const MciCommand& c);
    int set(Device& d, const MciCommand& c);
    int status(Device& d, const MciCommand& c, QString* reply);
    int where(Device& d, const MciCommand& c, QString* reply);
    int put(Device& d, const MciCommand& c);
    int seek(Device& d, const MciCommand& c);

    Options options_;
    std::map<QString, std::unique_ptr<Device>> devices_;
};
