#pragma once
// The media control object: one device alias, one open file or CD track, driven by
// command strings only. It never touches the back end itself.
//
// Positions and lengths are in position units: frames for files, milliseconds for a CD
// track (counted from the start of the track). Operations never throw: the outcome of the
// last operation is in isSuccess(), failed queries answer 0, -1 or "error".
#include <QString>
#include <cstdint>

#include "media/mci_device.h"

// The device's mode as the player tells it apart; Other stands for "error" and any word the
// player has no use for.
enum class MciMode { Playing, Paused, Stopped, Seeking, NotReady, Other };

class MCI {
  public:
    // Result code of a command when no device is available at all.
    static constexpr int kNoDevice = 263;

    // nullptr: defaultMciDevice(), looked up at the first command.
    explicit MCI(MciDevice* device = nullptr);

    // Properties
    QString FileName() const { return fileName_; }
    void setFileName(const QString& f) { fileName_ = f; }
    bool isAudioOnly() const { return isAudioOnly_; }
    void setIsAudioOnly(bool v) { isAudioOnly_ = v; }
    bool isSuccess() const { return isSuccess_; }
    void setIsSuccess(bool v) { isSuccess_ = v; }
    bool rngRepeat() const { return rngRepeat_; }
    void setRngRepeat(bool v) { rngRepeat_ = v; }
    int32_t rngStart() const { return rngStart_; }
    void setRngStart(int32_t v) { rngStart_ = v; }
    int32_t rngEnd() const { return rngEnd_; }
    void setRngEnd(int32_t v) { rngEnd_ = v; }
    bool isCDa() const { return deviceType_ == QLatin1String("cdaudio"); }
    QString alias() const { return aliasName_; }
    // Read-only views of the remaining state (for the windows' own checks and tests).
    QString deviceType() const { return deviceType_; }
    QString trackNumber() const { return trackNumber_; }
    int32_t parentWindow() const { return parentWindow_; }
    int32_t startFrame() const { return startFrame_; }

    // Operations (see the class comment for units).

    // True when the sound cannot be switched on ("set A audio all on" fails).
    bool isVideoOnly();
    // Closes what the alias held (unless one CD track follows another) and opens fileName:
    // a name "trackNN.cda" (any case) opens track NN of the disc, anything else as a file
    // with its video in hWnd, the surfaceId() of a VideoSurface. hWnd 0 keeps the last one,
    // an empty aliasName the current alias. Success in isSuccess().
    void openMCI(const QString& fileName, int32_t hWnd, const QString& aliasName);
    // Plays fromFrame..toFrame (clamped to the media; 0, 0 plays on from where it stands) and
    // records it as the segment play unless notSegment; repeatSegment asks stopMCI to loop
    // it; repeat is the device's own repeat.
    void playMCI(int32_t fromFrame, int32_t toFrame, bool repeatSegment = false,
                 bool notSegment = false, bool repeat = false);
    // Places the picture (width x height) in the parent window, centred in the area when
    // center (at area minus picture when it does not fit), moved by offset. Failure means the
    // media has no picture: isAudioOnly() then tells whether it has sound.
    void putMCI(int32_t width, int32_t height, bool center, int32_t offset, int32_t reserved,
                int32_t areaWidth, int32_t areaHeight);
    void rngCancel();           // forgets the segment play; sends nothing
    bool isRngPlaying() const;  // rngStart or rngEnd is 1 or more
    void pauseMCI();
    void resumeMCI();
    void stepMCI(int32_t count);  // always reports success
    // Loops a repeating segment, else stops at frame (when >= 1) or at rngStart.
    void stopMCI(const QString& aliasName = {}, int32_t frame = 0);
    void closeMCI(const QString& aliasName = {});  // empty: the object's own alias
    void closeAllMCI();
    QString getStatus();  // "playing", "paused", "stopped", ... or "error"
    MciMode getMode() { return modeOf(getStatus()); }
    int32_t getStartFrame();   // CD track: its start on the disc in ms; files 0
    int32_t getTotalFrames();  // length in position units, cached until the next open
    float getTotalSeconds();   // length in seconds, cached until the next open
    // Goes to frame (clamped); playing on to the end when isPlaying, else shown paused there.
    void setCurFrame(int32_t frame, bool isPlaying);
    int32_t getCurFrame();       // position in position units; 0 on failure
    float getFramesPerSecond();  // total frames / total seconds; 1000 for CD; -1 unknown
    float getFramesRateMPG();    // the device's frame rate; -1 on failure
    void getCurSize(int32_t& width, int32_t& height);      // picture as placed; 0x0 failed
    void getDefaultSize(int32_t& width, int32_t& height);  // natural picture; 0x0 failed
    void setVolume(int32_t volume);                        // 0..1000; 500 is the file's own level
    void setAudioShow(bool on);
    QString getAudioOnOff();       // "on", "off" or "error"
    void setSpeed(int32_t speed);  // 1000 is normal speed
    int32_t getSpeed();            // -1 on failure

    // Exposed for tests of the reply rules.
    static QString leadingWord(const QString& reply);
    // The mode named by the leading word of a mode reply.
    static MciMode modeOf(const QString& reply);

  private:
    int send(const QString& command, QString* reply = nullptr);
    void setTimeFormat(const QString& format);
    QString buildFromTo(int32_t fromFrame, int32_t toFrame);
    void parseWhereReply(const QString& reply, int32_t& width, int32_t& height);

    MciDevice* device_;
    QString aliasName_ = QStringLiteral("MyPlayer");
    int32_t lastError_ = 0;
    QString fileName_;
    int32_t parentWindow_ = 0;
    QString trackNumber_;
    QString deviceType_;
    int32_t totalFrames_ = 0;
    float totalSeconds_ = 0;
    bool rngRepeat_ = false;
    bool isSuccess_ = false;
    bool isAudioOnly_ = false;
    int32_t rngStart_ = 0;
    int32_t rngEnd_ = 0;
    int32_t startFrame_ = 0;
};
