#include "tools/tool_texts.h"

#include "common/texts.h"

namespace tools {
namespace {

using texts::kCrLf;

// A function, not a static: other files' statics are built from these texts.
QString errorHead() { return QStringLiteral("出現錯誤，無法成功處理檔案"); }

ToolTexts make(const QString& word, const QString& formatWord, bool reencode, bool fixedStepLine,
               const QString& questionWord = {}) {
    ToolTexts t;
    t.workingLine = QStringLiteral("正在進行「") + word + QStringLiteral("」多媒體檔案");
    t.formatLine = QStringLiteral("可能是檔案格式不支援進一步的") + formatWord;
    if (reencode) {
        const QString q = questionWord.isEmpty() ? word : questionWord;
        t.reencodeReason = word + QStringLiteral("後的") +
                           (word == QStringLiteral("合併") || word == QStringLiteral("修復")
                                ? QStringLiteral("檔案")
                                : QStringLiteral("區段")) +
                           QStringLiteral("，音訊必須重新編碼");
        t.reencodeOnly = QStringLiteral("這個「") + q + QStringLiteral("」程序才能成功");
        t.reencodeCancel = QStringLiteral("按「取消」則中止這個「") + q + QStringLiteral("」程序");
    }
    t.fixedStepLine = fixedStepLine;
    return t;
}

}  // namespace

const ToolTexts& toolTexts(Tool t) {
    static const ToolTexts cut = make(QStringLiteral("裁剪"), QStringLiteral("剪輯"), true, false,
                                      QStringLiteral("另存裁剪"));
    static const ToolTexts saveSplit = make(QStringLiteral("分割"), QStringLiteral("剪輯"), true,
                                            false, QStringLiteral("另存分割"));
    static const ToolTexts split =
        make(QStringLiteral("切割"), QStringLiteral("切割"), true, false);
    static const ToolTexts join = make(QStringLiteral("合併"), QStringLiteral("合併"), true, true);
    static const ToolTexts snap =
        make(QStringLiteral("截圖"), QStringLiteral("截圖"), false, false);
    static const ToolTexts fix = make(QStringLiteral("修復"), QStringLiteral("修復"), true, true);
    static const ToolTexts encode =
        make(QStringLiteral("轉檔"), QStringLiteral("轉檔"), false, true);
    switch (t) {
        case Tool::SaveCut:
            return cut;
        case Tool::SaveSplit:
            return saveSplit;
        case Tool::Split:
            return split;
        case Tool::Join:
            return join;
        case Tool::Snapshot:
            return snap;
        case Tool::Fix:
            return fix;
        case Tool::Encode:
            return encode;
    }
    return cut;
}

QString jobErrorText(const ToolTexts& t) {
    return errorHead() + kCrLf + kCrLf + t.formatLine + kCrLf +
           QStringLiteral("或者，該檔案被正被其他程式所執行");
}

QString diskFullText(const QString& disk, const QString& folder) {
    return QStringLiteral("磁碟「") + disk + QStringLiteral("」的空間已滿，新檔案無法寫入") +
           kCrLf + QStringLiteral("新檔案的資料夾：") + folder + kCrLf + kCrLf +
           QStringLiteral("請清出磁碟空間，或將新檔案存到其他磁碟，再試一次");
}

QString diagText(flv::DiagCode code) {
    using flv::DiagCode;
    switch (code) {
        case DiagCode::NotFlv:
            return QStringLiteral("這個檔案不是 FLV 檔案");
        case DiagCode::BadHeader:
            return QStringLiteral("FLV 檔案的檔頭已經損壞");
        case DiagCode::TruncatedTag:
        case DiagCode::TagPastEnd:
            return QStringLiteral("FLV 檔案不完整，資料在中途就結束了");
        case DiagCode::PrevTagSizeMismatch:
        case DiagCode::UnknownTagType:
            return QStringLiteral("FLV 檔案的資料已經損壞，請先使用「修復」功能");
        case DiagCode::MetadataTooLarge:
            return QStringLiteral("新檔案的 FLV 資訊太大，無法寫入");
        case DiagCode::StreamsDiffer:
            return QStringLiteral("檔案之間的視訊／音訊條件不一致（格式、取樣率或頻道），") +
                   QStringLiteral("無法以不轉檔的方式合併");
        case DiagCode::NothingInRange:
            return QStringLiteral("選取的區段裡沒有任何畫面或聲音");
        case DiagCode::ClockJump:
            return QStringLiteral("FLV 檔案的時間碼有跳動，請先使用「修復」功能");
        case DiagCode::NotRegularFile:
            return QStringLiteral("指定的路徑不是一般的檔案");
        case DiagCode::NotWritable:
            return QStringLiteral("沒有寫入這個檔案的權限");
        case DiagCode::FolderNotWritable:
            return QStringLiteral("沒有在這個資料夾建立新檔案的權限");
        case DiagCode::ChangedMeanwhile:
            return QStringLiteral("檔案在處理期間被其他程式改變了");
        case DiagCode::Io:
            return QStringLiteral("讀取或寫入檔案時發生錯誤");
        case DiagCode::NoSpace:
            return QStringLiteral("磁碟的空間已滿，新檔案無法寫入");
    }
    return QStringLiteral("讀取或寫入檔案時發生錯誤");
}

QString jobErrorText(const ToolTexts& t, const ToolFailure& f, const QString& disk,
                     const QString& folder) {
    switch (f.cause) {
        case FailureCause::Unknown:
            break;
        case FailureCause::DiskFull:
            return errorHead() + kCrLf + kCrLf + diskFullText(disk, folder);
        case FailureCause::FlvmdiDiag:
            if (!f.diag) break;
            return errorHead() + kCrLf + kCrLf + diagText(*f.diag) + kCrLf +
                   QStringLiteral("（flvmdi：") + f.line + QStringLiteral("）");
        case FailureCause::ToolLine:
            return errorHead() + kCrLf + kCrLf + t.formatLine + kCrLf +
                   QStringLiteral("（工具程式的訊息：") + f.line + QStringLiteral("）");
    }
    return jobErrorText(t);
}

QString folderErrorText(const QString& folder) {
    return QStringLiteral("輸出的資料夾不存在，或是無法寫入：") + kCrLf + kCrLf + folder;
}

QString reencodeQuestion(const ToolTexts& t) {
    if (t.reencodeReason.isEmpty()) return {};
    return t.reencodeReason + kCrLf + t.reencodeOnly + kCrLf + kCrLf +
           QStringLiteral("按「確定」則繼續程序，並且音訊重新編碼") + kCrLf + t.reencodeCancel;
}

ToolKind toolKind(const QString& ext) {
    const QString e = ext.toLower();
    if (e == QLatin1String("flv")) return ToolKind::Flv;
    if (e == QLatin1String("mpeg") || e == QLatin1String("mpg") || e == QLatin1String("vob"))
        return ToolKind::Mpeg;
    return ToolKind::Other;
}

}  // namespace tools
