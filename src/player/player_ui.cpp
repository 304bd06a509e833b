#include "player/player_ui.h"

#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>

#include "controls/icons.h"
#include "media/video_surface.h"
#include "player/player_logic.h"

namespace player {

namespace {

LumbaButton* makeButton(QWidget* parent, const char* name, icons::Kind kind, const QString& tip) {
    auto* b = new LumbaButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    const qreal dpr = parent->devicePixelRatioF();
    b->setPicture(icons::pixmap(kind, 18, dpr));
    b->setToolTipText(tip);
    b->setFocusPolicy(Qt::NoFocus);
    b->inner()->setFocusPolicy(Qt::NoFocus);
    return b;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QAction* item(QMenu* menu, const char* name, const QString& text, bool enabled = true) {
    QAction* a = menu->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    a->setEnabled(enabled);
    return a;
}

void buildMenus(QMainWindow* w, PlayerUi& ui) {
    QMenuBar* bar = w->menuBar();
    ui.mnuFile = bar->addMenu(QStringLiteral("檔案"));
    ui.mnuFile->setObjectName(QStringLiteral("mnuFile"));
    ui.mnuOpen = item(ui.mnuFile, "mnuOpen", QStringLiteral("開啟新的檔案"));
    ui.mnuPlayLast = item(ui.mnuFile, "mnuPlayLast", QStringLiteral("開啟上次檔案"), false);
    ui.mnuFile->addSeparator();
    ui.mnuSaveCap = item(ui.mnuFile, "mnuSaveCap", QStringLiteral("另存畫面　　　　　Home"), false);
    ui.mnuSaveFile = item(ui.mnuFile, "mnuSaveFile", QStringLiteral("另存目前檔案"), false);
    ui.mnuExplorer = item(ui.mnuFile, "mnuExplorer", QStringLiteral("前往檔案總管"), false);

    ui.mnuPlay = bar->addMenu(QStringLiteral("播放"));
    ui.mnuPlay->setObjectName(QStringLiteral("mnuPlayMenu"));
    ui.mnuSpeedMenu = ui.mnuPlay->addMenu(QStringLiteral("播放速度"));
    ui.mnuSpeedMenu->setObjectName(QStringLiteral("mnuSpeedMenu"));
    static const char* const speedCaptions[kFixedSpeedItems] = {
        "10% 播放速度",  "25% 播放速度",  "50% 播放速度",  "75% 播放速度", "正常播放 (100%)",
        "125% 播放速度", "150% 播放速度", "175% 播放速度", "200% 播放速度"};
    for (int i = 0; i < kFixedSpeedItems; ++i) {
        QAction* a = ui.mnuSpeedMenu->addAction(QString::fromUtf8(speedCaptions[i]));
        a->setObjectName(QStringLiteral("mnuSpeed_%1").arg(i));
        a->setCheckable(true);
        ui.mnuSpeed[i] = a;
    }
    ui.mnuSpeed[kNormalSpeedItem]->setChecked(true);
    ui.mnuSpeed[kSpeedSeparatorItem] = ui.mnuSpeedMenu->addSeparator();
    QAction* customSpeed = ui.mnuSpeedMenu->addAction(QStringLiteral("自訂播放速度"));
    customSpeed->setObjectName(QStringLiteral("mnuSpeed_%1").arg(kCustomSpeedItem));
    customSpeed->setCheckable(true);
    ui.mnuSpeed[kCustomSpeedItem] = customSpeed;

    ui.mnuFBMenu = ui.mnuPlay->addMenu(QStringLiteral("倒轉與快轉"));
    ui.mnuFBMenu->setObjectName(QStringLiteral("mnuFBMenu"));
    for (StepMode m : kAllStepModes) {
        QAction* a = ui.mnuFBMenu->addAction(stepCaption(m, 5));
        a->setObjectName(QStringLiteral("mnuFB_%1").arg(stepIndex(m)));
        a->setCheckable(true);
        ui.mnuFB[stepIndex(m)] = a;
    }
    ui.mnuFB[stepIndex(kDefaultStepMode)]->setChecked(true);
    ui.mnuFB[kStepSeparatorItem] = ui.mnuFBMenu->addSeparator();
    ui.mnuFB[kCustomStepItem] = ui.mnuFBMenu->addAction(QStringLiteral("自訂目前模式"));
    ui.mnuFB[kCustomStepItem]->setObjectName(QStringLiteral("mnuFB_%1").arg(kCustomStepItem));

    ui.mnuView = bar->addMenu(QStringLiteral("檢視"));
    ui.mnuView->setObjectName(QStringLiteral("mnuView"));
    ui.mnuKeepWH = item(ui.mnuView, "mnuKeepWH", QStringLiteral("影片維持長寬比例"), false);
    ui.mnuKeepWH->setCheckable(true);
    ui.mnuKeepDef = item(ui.mnuView, "mnuKeepDef", QStringLiteral("影片維持原始大小"), false);
    ui.mnuKeepDef->setCheckable(true);
    ui.mnuView->addSeparator();
    ui.mnuScnFull = item(ui.mnuView, "mnuScnFull", QStringLiteral("切換畫面最大化　　Esc"));

    ui.mnuMarks = bar->addMenu(QStringLiteral("標記"));
    ui.mnuMarks->setObjectName(QStringLiteral("mnuMarks"));
    ui.mnuRngPlay[0] =
        item(ui.mnuMarks, "mnuRngPlay_0", QStringLiteral("單次播放標記　　 　Enter"), false);
    ui.mnuRngPlay[1] =
        item(ui.mnuMarks, "mnuRngPlay_1", QStringLiteral("循環播放標記　   Ctr+Enter"), false);
    ui.mnuRngClear = item(ui.mnuMarks, "mnuRngClear", QStringLiteral("清除所有標記"), false);
    ui.mnuRngEdit = item(ui.mnuMarks, "mnuRngEdit", QStringLiteral("前往標記清單　　 　F2"), false);
    ui.mnuMarks->addSeparator();
    ui.mnuSaveRng = item(ui.mnuMarks, "mnuSaveRng", QStringLiteral("另存裁剪"), false);
    ui.mnuSaveCut = item(ui.mnuMarks, "mnuSaveCut", QStringLiteral("另存分割"), false);

    ui.mnuTools = bar->addMenu(QStringLiteral("工具"));
    ui.mnuTools->setObjectName(QStringLiteral("mnuTools"));

    ui.mnuListMenu = bar->addMenu(QStringLiteral("清單"));
    ui.mnuListMenu->setObjectName(QStringLiteral("mnuListMenu"));
    ui.mnuList = item(ui.mnuListMenu, "mnuList", QStringLiteral("前往播放清單　　　F1"), false);
    ui.mnuMyExplorer =
        item(ui.mnuListMenu, "mnuMyExplorer", QStringLiteral("前往檔案列表　　F3"), false);

    ui.mnuHelpMenu = bar->addMenu(QStringLiteral("說明"));
    ui.mnuHelpMenu->setObjectName(QStringLiteral("mnuHelpMenu"));
}

}  // namespace

void buildPlayerUi(QMainWindow* w, PlayerUi& ui) {
    buildMenus(w, ui);

    ui.central = new QWidget(w);
    ui.central->setObjectName(QStringLiteral("picPlayer"));
    ui.central->setFocusPolicy(Qt::StrongFocus);
    // The smallest video area is 320 x 10 inside its frame, above the panel.
    ui.central->setMinimumSize(322, 12 + PlayerUi::kPanelHeight);
    w->setCentralWidget(ui.central);

    ui.video = new VideoSurface(ui.central);
    ui.video->setObjectName(QStringLiteral("picVideo"));
    ui.video->setFocusPolicy(Qt::NoFocus);

    ui.picNote = new QLabel(ui.video);
    ui.picNote->setObjectName(QStringLiteral("picNote"));
    ui.picNote->setPixmap(icons::pixmap(icons::Kind::Program, 48, w->devicePixelRatioF()));
    ui.picNote->setAlignment(Qt::AlignCenter);
    ui.picNote->setAttribute(Qt::WA_TransparentForMouseEvents);

    ui.panel = new QWidget(ui.central);
    ui.panel->setObjectName(QStringLiteral("picPanel"));
    ui.panel->setAutoFillBackground(true);
    QWidget* p = ui.panel;

    ui.picHsbBack = new BarPart(BarPart::Strip, QStringLiteral("picHsbBack"), p);
    ui.picHsb = new BarPart(BarPart::Track, QStringLiteral("picHsb"), p);
    ui.picHsb2 = new BarPart(BarPart::Thumb, QStringLiteral("picHsb2"), p);
    auto* rng = new BarPart(BarPart::MarksStrip, QStringLiteral("picRngBk"), p);
    ui.picRngBk = rng;

    ui.mbPlay = makeButton(p, "mbPlay", icons::Kind::Play, QStringLiteral("播放 ( Space )"));
    ui.mbPause = makeButton(p, "mbPause", icons::Kind::Pause, QStringLiteral("暫停 ( Space )"));
    ui.mbStop = makeButton(p, "mbStop", icons::Kind::Stop, QStringLiteral("停止 ( Del )"));
    ui.mbBackward =
        makeButton(p, "mbBackward", icons::Kind::Backward, QStringLiteral("倒轉 ( PgUp )"));
    ui.mbForward =
        makeButton(p, "mbForward", icons::Kind::Forward, QStringLiteral("快轉 ( PgDn )"));
    ui.mbRngStart =
        makeButton(p, "mbRngStart", icons::Kind::RangeStart, QStringLiteral("標記開始 (  [  )"));
    ui.mbRngEnd =
        makeButton(p, "mbRngEnd", icons::Kind::RangeEnd, QStringLiteral("標記結束 (  ]  )"));
    ui.mbLastItem =
        makeButton(p, "mbLastItem", icons::Kind::LastItem, QStringLiteral("播放上個項目 ( ↑ )"));
    ui.mbNextItem =
        makeButton(p, "mbNextItem", icons::Kind::NextItem, QStringLiteral("播放下個項目 ( ↓ )"));
    ui.mbSound = makeButton(p, "mbSound", icons::Kind::Sound, QString());
    ui.mbSound->setDownPicture(icons::pixmap(icons::Kind::Mute, 18, w->devicePixelRatioF()));
    ui.mbSound->setMode(ButtonMode::ToggleOnPress);

    ui.picVolSdr = new BarPart(BarPart::Slider, QStringLiteral("picVolSdr"), p);
    ui.picVolPos = new BarPart(BarPart::Knob, QStringLiteral("picVolPos"), p);

    ui.picAssIcon = makeLabel(p, "picAssIcon", QString());
    ui.picAssIcon->setFocusPolicy(Qt::StrongFocus);
    ui.lblFnName = makeLabel(p, "lblFnName", QString());
    ui.lblCurTime = makeLabel(p, "lblCurTime", QStringLiteral("00:00:00"));
    ui.lblSplit = makeLabel(p, "lblSplit", QStringLiteral("/"));
    ui.lblTtTime = makeLabel(p, "lblTtTime", QStringLiteral("00:00:00"));
    ui.lblCurTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui.lblSplit->setAlignment(Qt::AlignCenter);
    for (QWidget* c : p->findChildren<QWidget*>())
        if (c != ui.picAssIcon) c->setFocusPolicy(Qt::NoFocus);
}

void layoutPlayerUi(PlayerUi& ui, QSize inner) {
    const int w = qMax(inner.width(), 2);
    const int areaW = qMax(w - 2, 0);
    const int areaH = qMax(inner.height() - PlayerUi::kPanelHeight - 2, 0);
    ui.video->setGeometry(0, 0, areaW + 2, areaH + 2);
    ui.picNote->setGeometry(ui.video->rect());
    ui.panel->setGeometry(0, areaH + 2, w, PlayerUi::kPanelHeight);

    const int inset = 8;
    ui.picHsbBack->setGeometry(0, 2, w, 16);
    ui.picHsb->setGeometry(inset, 2, qMax(w - 2 * inset, 1), 16);
    ui.picHsb2->resize(10, 16);
    ui.picHsb2->move(ui.picHsb2->x(), 2);
    ui.picRngBk->setGeometry(inset, 20, qMax(w - 2 * inset, 1), 8);

    const int by = 30, bs = 24, step = 25;
    LumbaButton* row[] = {ui.mbPlay,     ui.mbPause,  ui.mbStop,     ui.mbBackward, ui.mbForward,
                          ui.mbRngStart, ui.mbRngEnd, ui.mbLastItem, ui.mbNextItem};
    int x = 4;
    for (LumbaButton* b : row) {
        b->setGeometry(x, by, bs, bs);
        x += step;
    }
    const int sliderW = 56;
    ui.picVolSdr->setGeometry(w - 4 - sliderW, by, sliderW, bs);
    ui.picVolPos->resize(8, 16);
    ui.picVolPos->move(ui.picVolPos->x(), by + 4);
    ui.mbSound->setGeometry(ui.picVolSdr->x() - 2 - bs, by, bs, bs);

    const int ly = 56, lh = 20;
    ui.picAssIcon->setGeometry(4, ly + 2, 16, 16);
    const int timeW = 120;
    ui.lblTtTime->setGeometry(w - 4 - 54, ly, 54, lh);
    ui.lblSplit->setGeometry(ui.lblTtTime->x() - 10, ly, 10, lh);
    ui.lblCurTime->setGeometry(ui.lblSplit->x() - 56, ly, 56, lh);
    ui.lblFnName->setGeometry(24, ly, qMax(w - 24 - timeW - 6, 10), lh);
    ui.picHsb2->raise();
    ui.picVolPos->raise();
}

}  // namespace player
