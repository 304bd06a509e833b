#include "tools/tool_texts.h"

#include "common/texts.h"

namespace tools {
namespace {

using texts::kCrLf;

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
    return QStringLiteral("出現錯誤，無法成功處理檔案") + kCrLf + kCrLf + t.formatLine + kCrLf +
           QStringLiteral("或者，該檔案被正被其他程式所執行");
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

QString toolSetWord(const QString& job, ToolKind kind) {
    return job + QString::number(static_cast<int>(kind));
}

}  // namespace tools
