#include "media/mci.h"

#include <QRegularExpression>

#include "common/file_object.h"
#include "common/prompts.h"
#include "media/mci_text.h"

namespace {

constexpr qsizetype kReplyLimit = 128;

QString num(int32_t v) { return QString::number(v); }

// "track##.cda", # one digit, on the lower-cased file name.
bool looksLikeCdTrack(const QString& fileName) {
    static const QRegularExpression pattern(QStringLiteral("^track[0-9][0-9]\\.cda$"));
    return pattern.match(fileName).hasMatch();
}

bool isAsciiDigits(const QString& s) {
    if (s.isEmpty()) return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9') return false;
    return true;
}

}  // namespace

MCI::MCI(MciDevice* device) : device_(device) {}

int MCI::send(const QString& command, QString* reply) {
    if (!device_) device_ = defaultMciDevice();
    if (!device_) {
        if (reply) reply->clear();
        return kNoDevice;
    }
    int rc = device_->send(command, reply);
    if (reply && reply->size() > kReplyLimit) reply->truncate(kReplyLimit);
    return rc;
}

QString MCI::leadingWord(const QString& reply) { return mcitext::leadingWord(reply); }

bool MCI::isVideoOnly() {
    setAudioShow(true);
    return !isSuccess_;
}

void MCI::openMCI(const QString& fileName, int32_t hWnd, const QString& aliasName) {
    const bool wasCD = isCDa();
    fileName_ = fileName;
    totalFrames_ = 0;
    totalSeconds_ = 0;

    if (hWnd != 0) parentWindow_ = hWnd;
    if (parentWindow_ == 0) prompts::msgBox(QStringLiteral("務必指定 hWnd 參數"));
    if (!aliasName.isEmpty()) aliasName_ = aliasName;
    if (aliasName_.isEmpty()) prompts::msgBox(QStringLiteral("務必指定 aliasName 參數"));

    deviceType_ = QStringLiteral("mpegvideo");
    if (looksLikeCdTrack(fso().GetFileName(fileName).toLower()) &&
        fso().GetExtensionName(fileName).toLower() == QLatin1String("cda")) {
        // The two track digits stand 6 and 5 places from the end of the path.
        const QString digits =
            fileName.size() >= 6 ? fileName.mid(fileName.size() - 6, 2) : QString();
        if (isAsciiDigits(digits)) {
            trackNumber_ = QString::number(digits.toInt());
            deviceType_ = QStringLiteral("cdaudio");
        }
    }
    deviceType_ = deviceType_.toLower();
    const bool nowCD = isCDa();

    // One CD track after another keeps the CD device open.
    if (!(wasCD && nowCD)) {
        lastError_ = send(QStringLiteral("stop ") + aliasName_);
        lastError_ = send(QStringLiteral("close ") + aliasName_);
    }

    if (nowCD) {
        lastError_ = send(QStringLiteral("open ") + fso().GetDriveName(fileName) +
                          QStringLiteral(" type cdaudio alias ") + aliasName_ +
                          QStringLiteral(" wait shareable"));
        const bool opened = lastError_ == 0;
        setTimeFormat(QStringLiteral("ms"));
        if (opened) isAudioOnly_ = true;
    } else {
        lastError_ =
            send(QStringLiteral("open \"") + fileName + QStringLiteral("\" type ") + deviceType_ +
                 QStringLiteral(" alias ") + aliasName_ + QStringLiteral(" parent ") +
                 num(parentWindow_) + QStringLiteral(" style child"));
        setTimeFormat(QStringLiteral("frames"));
    }
    startFrame_ = getStartFrame();
    isSuccess_ = lastError_ == 0;
}

void MCI::playMCI(int32_t fromFrame, int32_t toFrame, bool repeatSegment, bool notSegment,
                  bool repeat) {
    if (fromFrame < 0) fromFrame = 0;
    if (totalFrames_ < 1) getTotalFrames();
    if (toFrame > totalFrames_ || (fromFrame >= 1 && toFrame <= 0)) toFrame = totalFrames_;
    if (!notSegment && (fromFrame > 0 || toFrame >= 1)) {
        rngStart_ = fromFrame;
        rngEnd_ = toFrame;
    } else {
        rngStart_ = 0;
        rngEnd_ = 0;
    }
    rngRepeat_ = repeatSegment;
    lastError_ = send(QStringLiteral("play ") + aliasName_ + buildFromTo(fromFrame, toFrame) +
                      (repeat ? QStringLiteral(" repeat") : QString()));
    isSuccess_ = lastError_ == 0;
}

void MCI::putMCI(int32_t width, int32_t height, bool center, int32_t offset, int32_t /*reserved*/,
                 int32_t areaWidth, int32_t areaHeight) {
    if (isCDa()) {
        isSuccess_ = false;
        return;
    }
    if (parentWindow_ == 0) return;
    int32_t x = 0;
    int32_t y = 0;
    if (center) {
        x = mcitext::roundHalfEven((static_cast<double>(areaWidth) - width) / 2.0);
        if (x < 0) x = areaWidth - width;
        y = mcitext::roundHalfEven((static_cast<double>(areaHeight) - height) / 2.0);
        if (y < 0) y = areaHeight - height;
    }
    x += offset;
    y += offset;
    lastError_ = send(QStringLiteral("put ") + aliasName_ + QStringLiteral(" window at ") + num(x) +
                      u' ' + num(y) + u' ' + num(width) + u' ' + num(height));
    isAudioOnly_ = false;
    if (lastError_ == 0) {
        isSuccess_ = true;
    } else {
        // No video window: if the sound can be switched on, the media is audio only.
        setAudioShow(true);
        isAudioOnly_ = isSuccess_;
        isSuccess_ = false;
    }
}

void MCI::rngCancel() {
    rngStart_ = 0;
    rngEnd_ = 0;
    rngRepeat_ = false;
}

bool MCI::isRngPlaying() const { return !(rngStart_ < 1 && rngEnd_ < 1); }

void MCI::pauseMCI() {
    lastError_ = send(QStringLiteral("pause ") + aliasName_);
    isSuccess_ = lastError_ == 0;
}

void MCI::resumeMCI() {
    lastError_ = send(QStringLiteral("resume ") + aliasName_);
    isSuccess_ = lastError_ == 0;
}

void MCI::stepMCI(int32_t count) {
    lastError_ = send(QStringLiteral("step ") + aliasName_ + QStringLiteral(" by ") + num(count));
    isSuccess_ = true;
}

void MCI::stopMCI(const QString& aliasName, int32_t frame) {
    const int32_t target = frame >= 1 ? frame : rngStart_;
    const QString name = aliasName.isEmpty() ? aliasName_ : aliasName;
    if (rngRepeat_) {
        playMCI(rngStart_, rngEnd_, true, false, false);
        return;
    }
    if (!isCDa() || target != 0) {
        lastError_ = send(QStringLiteral("seek ") + name + QStringLiteral(" to ") +
                          num(startFrame_ + target));
    } else {
        pauseMCI();
    }
    isSuccess_ = lastError_ == 0;
}

void MCI::closeMCI(const QString& aliasName) {
    const QString name = aliasName.isEmpty() ? aliasName_ : aliasName;
    lastError_ = send(QStringLiteral("stop ") + name);
    lastError_ = send(QStringLiteral("close ") + name);
    isSuccess_ = lastError_ == 0;
}

void MCI::closeAllMCI() {
    if (isCDa()) lastError_ = send(QStringLiteral("stop ") + aliasName_);
    lastError_ = send(QStringLiteral("Close All"));
    isSuccess_ = lastError_ == 0;
}

QString MCI::getStatus() {
    QString reply;
    lastError_ = send(QStringLiteral("status ") + aliasName_ + QStringLiteral(" mode"), &reply);
    return lastError_ == 0 ? leadingWord(reply) : QStringLiteral("error");
}

MciMode MCI::modeOf(const QString& reply) {
    const QString word = leadingWord(reply);
    if (word == QLatin1String("playing")) return MciMode::Playing;
    if (word == QLatin1String("paused")) return MciMode::Paused;
    if (word == QLatin1String("stopped")) return MciMode::Stopped;
    if (word == QLatin1String("seeking")) return MciMode::Seeking;
    if (word == QLatin1String("not")) return MciMode::NotReady;  // "not ready"
    return MciMode::Other;
}

int32_t MCI::getStartFrame() {
    QString reply;
    if (isCDa()) {
        setTimeFormat(QStringLiteral("ms"));
        lastError_ = send(QStringLiteral("status ") + aliasName_ +
                              QStringLiteral(" position track ") + trackNumber_,
                          &reply);
    }
    return lastError_ == 0 ? mcitext::roundHalfEven(mcitext::replyNumber(reply)) : 0;
}

int32_t MCI::getTotalFrames() {
    QString reply;
    if (isCDa()) {
        setTimeFormat(QStringLiteral("ms"));
        lastError_ = send(QStringLiteral("status ") + aliasName_ +
                              QStringLiteral(" length track ") + trackNumber_,
                          &reply);
    } else {
        setTimeFormat(QStringLiteral("frames"));
        lastError_ =
            send(QStringLiteral("status ") + aliasName_ + QStringLiteral(" length"), &reply);
    }
    totalFrames_ = lastError_ == 0 ? mcitext::roundHalfEven(mcitext::replyNumber(reply)) : 0;
    return totalFrames_;
}

float MCI::getTotalSeconds() {
    QString reply;
    setTimeFormat(QStringLiteral("ms"));
    if (isCDa()) {
        lastError_ = send(QStringLiteral("status ") + aliasName_ +
                              QStringLiteral(" length track ") + trackNumber_,
                          &reply);
    } else {
        lastError_ =
            send(QStringLiteral("status ") + aliasName_ + QStringLiteral(" length"), &reply);
        setTimeFormat(QStringLiteral("frames"));
    }
    totalSeconds_ =
        lastError_ == 0 ? static_cast<float>(mcitext::replyNumber(reply) / 1000.0) : 0.0f;
    return totalSeconds_;
}

void MCI::setCurFrame(int32_t frame, bool isPlaying) {
    if (frame < 0) frame = 0;
    if (totalFrames_ < 1) getTotalFrames();
    if (frame > totalFrames_) frame = totalFrames_;
    const QString play = QStringLiteral("play ") + aliasName_ + buildFromTo(frame, totalFrames_);
    if (isPlaying) {
        lastError_ = send(play);
    } else {
        // Pause, play from the frame, pause again: the device shows that picture and waits.
        send(QStringLiteral("pause ") + aliasName_);
        lastError_ = send(play);
        send(QStringLiteral("pause ") + aliasName_);
    }
    isSuccess_ = lastError_ == 0;
}

int32_t MCI::getCurFrame() {
    QString reply;
    setTimeFormat(isCDa() ? QStringLiteral("ms") : QStringLiteral("frames"));
    lastError_ = send(QStringLiteral("status ") + aliasName_ + QStringLiteral(" position"), &reply);
    if (lastError_ != 0) return 0;
    return mcitext::roundHalfEven(mcitext::replyNumber(reply) - startFrame_);
}

float MCI::getFramesPerSecond() {
    if (isCDa()) return 1000.0f;
    if (totalFrames_ < 1) getTotalFrames();
    if (totalSeconds_ <= 0) getTotalSeconds();
    return totalSeconds_ > 0 ? static_cast<float>(totalFrames_) / totalSeconds_ : -1.0f;
}

float MCI::getFramesRateMPG() {
    QString reply;
    lastError_ =
        send(QStringLiteral("status ") + aliasName_ + QStringLiteral(" frame rate"), &reply);
    return lastError_ == 0 ? static_cast<float>(mcitext::replyNumber(reply) / 1000.0) : -1.0f;
}

void MCI::getCurSize(int32_t& width, int32_t& height) {
    QString reply;
    lastError_ =
        send(QStringLiteral("where ") + aliasName_ + QStringLiteral(" destination max"), &reply);
    parseWhereReply(reply, width, height);
}

void MCI::getDefaultSize(int32_t& width, int32_t& height) {
    QString reply;
    lastError_ = send(QStringLiteral("where ") + aliasName_ + QStringLiteral(" source"), &reply);
    parseWhereReply(reply, width, height);
}

void MCI::setVolume(int32_t volume) {
    lastError_ = send(QStringLiteral("setaudio ") + aliasName_ + QStringLiteral(" volume to ") +
                      num(volume));
    isSuccess_ = lastError_ == 0;
}

void MCI::setAudioShow(bool on) {
    lastError_ = send(QStringLiteral("set ") + aliasName_ + QStringLiteral(" audio all ") +
                      (on ? QStringLiteral("on") : QStringLiteral("off")));
    isSuccess_ = lastError_ == 0;
}

QString MCI::getAudioOnOff() {
    QString reply;
    lastError_ = send(QStringLiteral("status ") + aliasName_ + QStringLiteral(" audio"), &reply);
    return lastError_ == 0 ? leadingWord(reply) : QStringLiteral("error");
}

void MCI::setSpeed(int32_t speed) {
    lastError_ = send(QStringLiteral("set ") + aliasName_ + QStringLiteral(" speed ") + num(speed));
    isSuccess_ = lastError_ == 0;
}

int32_t MCI::getSpeed() {
    QString reply;
    lastError_ = send(QStringLiteral("status ") + aliasName_ + QStringLiteral(" speed"), &reply);
    return lastError_ == 0 ? mcitext::roundHalfEven(mcitext::replyNumber(reply)) : -1;
}

void MCI::setTimeFormat(const QString& format) {
    send(QStringLiteral("set ") + aliasName_ + QStringLiteral(" time format ") + format);
}

QString MCI::buildFromTo(int32_t fromFrame, int32_t toFrame) {
    if (isCDa()) {
        if (toFrame == 0) toFrame = totalFrames_;
        fromFrame += startFrame_;
        toFrame += startFrame_;
    }
    if (toFrame > 0)
        return QStringLiteral(" from ") + num(fromFrame) + QStringLiteral(" to ") + num(toFrame);
    return {};
}

void MCI::parseWhereReply(const QString& reply, int32_t& width, int32_t& height) {
    if (lastError_ != 0) {
        isSuccess_ = false;
        width = 0;
        height = 0;
        return;
    }
    // "left top width height": the two numbers after the second blank.
    const qsizetype first = reply.indexOf(u' ');
    const qsizetype second = first < 0 ? -1 : reply.indexOf(u' ', first + 1);
    const QString rest = second < 0 ? QString() : reply.mid(second + 1);
    const qsizetype gap = rest.indexOf(u' ');
    width = mcitext::roundHalfEven(mcitext::replyNumber(gap < 0 ? rest : rest.left(gap)));
    height = gap < 0 ? 0 : mcitext::roundHalfEven(mcitext::replyNumber(rest.mid(gap)));
    isSuccess_ = true;
}
