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

    // Operations (see the class comment for units). openMCI takes the id of a registered
    // VideoSurface as hWnd; the video of the file is drawn into that surface.
    bool isVideoOnly();
    void openMCI(const QString& fileName, int32_t hWnd, const QString& aliasName);
    void playMCI(int32_t fromFrame, int32_t toFrame, bool repeatSegment = false,
                 bool notSegment = false, bool repeat = false);
    void putMCI(int32_t width, int32_t height, bool center, int32_t offset, int32_t reserved,
                int32_t areaWidth, int32_t areaHeight);
    void rngCancel();
    bool isRngPlaying() const;
    void pauseMCI();
    void resumeMCI();
    void stepMCI(int32_t count);
    void stopMCI(const QString& aliasName = {}, int32_t frame = 0);
    void closeMCI(const QString& aliasName = {});
    void closeAllMCI();
    QString getStatus();
    int32_t getStartFrame();
    int32_t getTotalFrames();
    float getTotalSeconds();
    void setCurFrame(int32_t frame, bool isPlaying);
    int32_t getCurFrame();
    float getFramesPerSecond();
    float getFramesRateMPG();
    void getCurSize(int32_t& width, int32_t& height);
    void getDefaultSize(int32_t& width, int32_t& height);
    void setVolume(int32_t volume);
    void setAudioShow(bool on);
    QString getAudioOnOff();
    void setSpeed(int32_t speed);
    int32_t getSpeed();

    // Exposed for tests of the reply rules.
    static QString leadingWord(const QString& reply);

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
