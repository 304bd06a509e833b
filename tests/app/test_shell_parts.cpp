#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <csignal>
#include <future>
#include <thread>

#include "app/command_line.h"
#include "app/single_instance.h"
#include "app/termination.h"
#include "app/window_place.h"
#include "common/window_helpers.h"

using namespace app;

namespace {

QCoreApplication* ensureApp() {
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "test_app_shell";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
    return QCoreApplication::instance();
}

template <typename Pred>
bool spinUntil(Pred done, int ms = 3000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

TEST(WindowPlace, DefaultsAndTwipsRoundTrip) {
    EXPECT_EQ(mainWindowPlace(std::nullopt, QSize(1280, 1024)), QRect(455, 327, 370, 370));
    const std::array<double, 4> read{100, 200, 5000, 4000};
    const QRect placed = mainWindowPlace(read, QSize(1280, 1024));
    EXPECT_EQ(placed, QRect(7, 13, 333, 267));
    // Unmoved: the values go back exactly as read, not as pixels times 15.
    EXPECT_EQ(mainRectToSave(placed, read, placed), read);
    EXPECT_EQ(mainRectToSave(placed.translated(1, 0), read, placed),
              (std::array<double, 4>{120, 195, 4995, 4005}));
    EXPECT_EQ(mainRectToSave(QRect(0, 0, 370, 370), std::nullopt, QRect()),
              (std::array<double, 4>{0, 0, 5550, 5550}));

    EXPECT_EQ(listWindowPlace(std::nullopt, QPoint(100, 50)), QPoint(130, 80));
    const std::array<double, 2> list{-30, 45};
    EXPECT_EQ(listWindowPlace(list, QPoint()), QPoint(-2, 3));
    EXPECT_EQ(listRectToSave(QPoint(-2, 3), list, QPoint(-2, 3)), list);
}

TEST(WindowPlace, APlaceOffEveryScreenComesBackIntoTheFirst) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    // On a screen, the second one included, or partly over an edge but grippable: kept.
    EXPECT_EQ(placeOnScreen(QRect(100, 100, 370, 370), screens), QPoint(100, 100));
    EXPECT_EQ(placeOnScreen(QRect(2000, 500, 370, 370), screens), QPoint(2000, 500));
    EXPECT_EQ(placeOnScreen(QRect(-200, 40, 370, 370), screens), QPoint(-200, 40));
    // ListRect=99999,99999, a monitor to the left unplugged, a title bar above the top.
    EXPECT_EQ(placeOnScreen(QRect(6667, 6667, 500, 400), screens), QPoint(1420, 680));
    EXPECT_EQ(placeOnScreen(QRect(-1500, 300, 500, 400), screens), QPoint(0, 300));
    EXPECT_EQ(placeOnScreen(QRect(300, -390, 500, 400), screens), QPoint(300, 0));
    // Larger than the screen: its top-left corner on it.
    EXPECT_EQ(placeOnScreen(QRect(5000, 5000, 3000, 2000), screens), QPoint(0, 0));
}

TEST(CommandLine, NamesAreTakenAsTheyAreAndSeveralFilesStaySeveral) {
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    for (const char* name : {"a.flv", "b.mp3", "my clip.flv", "say \"hi\".flv", "odd∥name.flv"})
        QFile(d + QString::fromUtf8(name)).open(QIODevice::WriteOnly);
    const auto paths = [&](const QStringList& args) { return commandPaths(args, dir.path()); };
    EXPECT_EQ(paths({}), QStringList());
    // Relative names become absolute: the running instance has a folder of its own.
    EXPECT_EQ(paths({"a.flv", "b.mp3", "c.wav"}), QStringList({d + "a.flv", d + "b.mp3", "c.wav"}));
    // A name with blanks given without quotes is still one file.
    EXPECT_EQ(paths({"my", "clip.flv"}), QStringList{d + "my clip.flv"});
    EXPECT_EQ(paths({"\"my clip.flv\""}), QStringList{d + "my clip.flv"});
    EXPECT_EQ(paths({"say \"hi\".flv"}), QStringList{d + "say \"hi\".flv"});
    EXPECT_EQ(paths({QString::fromUtf8("odd∥name.flv")}),
              QStringList{d + QString::fromUtf8("odd∥name.flv")});
    EXPECT_EQ(paths({QString::fromUtf8("a.flv∥325-400 475-600")}),
              QStringList{d + QString::fromUtf8("a.flv∥325-400 475-600")});
    EXPECT_EQ(paths({"https://example.org/a b.flv"}), QStringList{"https://example.org/a b.flv"});
}

using Waits = SingleInstance::Waits;

TEST(SingleInstance, SecondStartHandsItsTextToTheFirst) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    SingleInstance first(folder);
    ASSERT_EQ(first.start({}, Waits{.lockMs = 500}), SingleInstance::Role::First);
    // Names with blanks, quotes and the item separator travel as they are, in order.
    const QStringList paths{QStringLiteral("/影片/a b.flv"), QStringLiteral("/v/say \"hi\".flv"),
                            QStringLiteral("/v/odd∥name.flv∥1-2")};
    auto sent = std::async(std::launch::async, [&] {
        SingleInstance second(folder);
        return second.start(paths);
    });
    // Taken before the window is there to open them (the splash's first events): kept.
    ASSERT_TRUE(spinUntil(
        [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(sent.get(), SingleInstance::Role::HandedOver);
    spinUntil([] { return false; }, 100);
    QList<QStringList> received;
    QObject::connect(&first, &SingleInstance::linkExecute,
                     [&](const QStringList& paths) { received << paths; });
    ASSERT_TRUE(spinUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(received.at(0), paths);

    // No paths arrive as none (it only brings the window forward).
    auto empty = std::async(std::launch::async, [&] {
        return SingleInstance::sendToFirstInstance(first.socketPath(), {}, 1500);
    });
    ASSERT_TRUE(spinUntil([&] { return received.size() == 2; }));
    EXPECT_EQ(empty.get(), SingleInstance::Answer::Taken);
    EXPECT_EQ(received.at(1), QStringList());
    EXPECT_EQ(QFile(first.socketPath()).permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());
}

// A busy machine: the first instance's event loop is held up (a slow disk, start-up still
// opening its own file) for longer than a start used to wait. The second start must wait
// for the answer, not end with an error or become a second player.
TEST(SingleInstance, AHandOverWaitsForAFirstInstanceThatIsHeldUp) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    SingleInstance first(folder);
    ASSERT_EQ(first.start({}, Waits{.lockMs = 500}), SingleInstance::Role::First);
    QList<QStringList> received;
    QObject::connect(&first, &SingleInstance::linkExecute,
                     [&](const QStringList& paths) { received << paths; });

    auto sent = std::async(std::launch::async, [&] {
        SingleInstance second(folder);
        return second.start({"/b.flv"});
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));  // no events run
    ASSERT_TRUE(spinUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(sent.get(), SingleInstance::Role::HandedOver);
    EXPECT_EQ(received, QList<QStringList>{{"/b.flv"}});
}

// An instance that is closing declines: the later start waits until it has gone and becomes
// the first itself, so the file is neither lost nor handed to a window that is going away.
TEST(SingleInstance, AClosingInstanceDeclinesAndTheLaterStartTakesOver) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    auto first = std::make_unique<SingleInstance>(folder);
    ASSERT_EQ(first->start({}, Waits{.lockMs = 500}), SingleInstance::Role::First);
    bool received = false;
    QObject::connect(first.get(), &SingleInstance::linkExecute, [&] { received = true; });
    first->stopAccepting();

    std::atomic<bool> asked = false;
    auto late = std::async(std::launch::async, [&] {
        SingleInstance second(folder);
        const auto answer = SingleInstance::sendToFirstInstance(second.socketPath(), {"/c"}, 3000);
        asked = true;
        return std::make_pair(answer, second.start({"/c.flv"}, Waits{.closingMs = 5000}));
    });
    ASSERT_TRUE(spinUntil([&] { return asked.load(); }));
    spinUntil([] { return false; }, 300);  // the later start keeps asking meanwhile
    first.reset();                         // the closing instance ends and lets go
    const auto [answer, role] = late.get();
    EXPECT_EQ(answer, SingleInstance::Answer::Declined);
    EXPECT_EQ(role, SingleInstance::Role::First);
    EXPECT_FALSE(received);
}

TEST(SingleInstance, AStaleSocketIsTakenOverAndALockWithoutAnswerFailsInTime) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    {
        QFile stale(folder + "Lumba.FLV.sock");  // left by a run that ended abnormally
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    SingleInstance first(folder);
    EXPECT_EQ(first.start({}, Waits{.lockMs = 500}), SingleInstance::Role::First);

    // Someone holds the lock but nobody listens (an instance that ended without letting go).
    QTemporaryDir other;
    QLockFile held(other.path() + "/Lumba.FLV.lock");
    ASSERT_TRUE(held.tryLock());
    auto result = std::async(std::launch::async, [&] {
        QElapsedTimer t;
        t.start();
        SingleInstance late(other.path() + "/");
        const auto role = late.start({"/a.flv"}, Waits{.lockMs = 800});
        return std::make_pair(role, t.elapsed());
    });
    const auto [role, ms] = result.get();
    EXPECT_EQ(role, SingleInstance::Role::NoAnswer);
    EXPECT_LT(ms, 2000);
}

TEST(SingleInstance, AnotherUserCannotReachTheChannel) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    ensureApp();
    QTemporaryDir dir;  // private to its owner, as the temporary folder is
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SingleInstance first(dir.path() + "/");
    ASSERT_EQ(first.start({}, Waits{.lockMs = 500}), SingleInstance::Role::First);
    ASSERT_EQ(::seteuid(65534), 0);
    const auto answer = SingleInstance::sendToFirstInstance(first.socketPath(), {"x"}, 500);
    ASSERT_EQ(::seteuid(0), 0);
    EXPECT_EQ(answer, SingleInstance::Answer::NoListener);
}

TEST(TerminationSignals, SignalsArriveAsCallsOnTheEventLoop) {
    ensureApp();
    QList<int> got;
    TerminationSignals handler([&](int s) { got << s; });
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    ASSERT_TRUE(spinUntil([&] { return got.size() == 2; }));
    EXPECT_EQ(got, (QList<int>{SIGTERM, SIGHUP}));
}
