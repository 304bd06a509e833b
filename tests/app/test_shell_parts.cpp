#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <future>
#include <thread>

#include "app/single_instance.h"
#include "app/termination.h"
#include "app/window_place.h"

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

TEST(SingleInstance, SecondStartHandsItsTextToTheFirst) {
    ensureApp();
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    SingleInstance first(folder);
    ASSERT_EQ(first.start("", 500), SingleInstance::Role::First);
    QStringList received;
    QObject::connect(&first, &SingleInstance::linkExecute,
                     [&](const QString& t) { received << t; });

    const QString path = QStringLiteral("/影片/a b.flv");
    auto sent = std::async(std::launch::async, [&] {
        SingleInstance second(folder);
        return second.start(path, 1500);
    });
    ASSERT_TRUE(spinUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(sent.get(), SingleInstance::Role::HandedOver);
    EXPECT_EQ(received.at(0), path);

    // An empty command text arrives as such (it only brings the window forward).
    auto empty = std::async(std::launch::async, [&] {
        return SingleInstance::sendToFirstInstance(first.socketPath(), "", 1500);
    });
    ASSERT_TRUE(spinUntil([&] { return received.size() == 2; }));
    EXPECT_TRUE(empty.get());
    EXPECT_EQ(received.at(1), "");
    EXPECT_EQ(QFile(first.socketPath()).permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());
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
    EXPECT_EQ(first.start("", 500), SingleInstance::Role::First);

    // Someone holds the lock but nobody listens (an instance that is just closing).
    QTemporaryDir other;
    QLockFile held(other.path() + "/Lumba.FLV.lock");
    ASSERT_TRUE(held.tryLock());
    auto result = std::async(std::launch::async, [&] {
        QElapsedTimer t;
        t.start();
        SingleInstance late(other.path() + "/");
        const auto role = late.start("/a.flv", 800);
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
    ASSERT_EQ(first.start("", 500), SingleInstance::Role::First);
    ASSERT_EQ(::seteuid(65534), 0);
    const bool reached = SingleInstance::sendToFirstInstance(first.socketPath(), "x", 500);
    ASSERT_EQ(::seteuid(0), 0);
    EXPECT_FALSE(reached);
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
