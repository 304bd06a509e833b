// Number and word rules of replies, and how the libmpv device splits command strings.
#include <gtest/gtest.h>

#include "media/mci.h"
#include "media/mci_command.h"
#include "media/mci_text.h"

namespace {

TEST(MciText, ReplyNumberReadsTheLeadingDecimal) {
    EXPECT_DOUBLE_EQ(mcitext::replyNumber(QStringLiteral("3000")), 3000);
    EXPECT_DOUBLE_EQ(mcitext::replyNumber(QStringLiteral("   42 frames")), 42);
    EXPECT_DOUBLE_EQ(mcitext::replyNumber(QStringLiteral("-12.5x")), -12.5);
    EXPECT_DOUBLE_EQ(mcitext::replyNumber(QStringLiteral("playing")), 0);
    EXPECT_DOUBLE_EQ(mcitext::replyNumber(QString()), 0);
    EXPECT_DOUBLE_EQ(mcitext::replyNumber(QStringLiteral(" 240 0")), 240);
}

TEST(MciText, RoundingSendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(mcitext::roundHalfEven(0.5), 0);
    EXPECT_EQ(mcitext::roundHalfEven(1.5), 2);
    EXPECT_EQ(mcitext::roundHalfEven(2.5), 2);
    EXPECT_EQ(mcitext::roundHalfEven(-2.5), -2);
    EXPECT_EQ(mcitext::roundHalfEven(-3.5), -4);
    EXPECT_EQ(mcitext::roundHalfEven(2.51), 3);
    EXPECT_EQ(mcitext::roundHalfEven(1e12), INT32_MAX);
    EXPECT_EQ(mcitext::roundHalfEven(-1e12), INT32_MIN);
}

TEST(MciText, LeadingWordStopsAtTheFirstNonAlphanumeric) {
    EXPECT_EQ(MCI::leadingWord(QStringLiteral("Stopped")), QStringLiteral("stopped"));
    EXPECT_EQ(MCI::leadingWord(QStringLiteral("not ready")), QStringLiteral("not"));
    EXPECT_EQ(MCI::leadingWord(QStringLiteral("mode2,x")), QStringLiteral("mode2"));
    EXPECT_EQ(MCI::leadingWord(QStringLiteral(" on")), QString());
    EXPECT_EQ(MCI::leadingWord(QStringLiteral("Ärger")), QString());
}

TEST(MciCommandParse, OpenKeepsTheQuotedPathAsGiven) {
    const MciCommand c = parseMciCommand(QStringLiteral(
        "open \"/v/My Clip.FLV\" type mpegvideo alias Lumba.FLV parent 7 style child"));
    EXPECT_EQ(c.verb, QStringLiteral("open"));
    EXPECT_EQ(c.device, QStringLiteral("/v/My Clip.FLV"));
    EXPECT_EQ(c.valueAfter(QStringLiteral("type")), QStringLiteral("mpegvideo"));
    EXPECT_EQ(aliasKey(c.valueAfter(QStringLiteral("alias"))), QStringLiteral("lumba.flv"));
    EXPECT_EQ(c.numberAfter(QStringLiteral("parent")), 7);
    EXPECT_TRUE(c.has(QStringLiteral("child")));

    const MciCommand cd =
        parseMciCommand(QStringLiteral("open / type cdaudio alias X wait shareable"));
    EXPECT_EQ(cd.device, QStringLiteral("/"));
    EXPECT_EQ(cd.valueAfter(QStringLiteral("type")), QStringLiteral("cdaudio"));

    const MciCommand quote = parseMciCommand(
        QStringLiteral("open \"/v/say \"hi\".flv\" type mpegvideo alias Z parent 3 style child"));
    EXPECT_EQ(quote.device, QStringLiteral("/v/say \"hi\".flv"));
    EXPECT_EQ(quote.valueAfter(QStringLiteral("alias")), QStringLiteral("z"));
    EXPECT_EQ(quote.numberAfter(QStringLiteral("parent")), 3);

    const MciCommand bare = parseMciCommand(QStringLiteral("open /v/a b.flv alias Y"));
    EXPECT_EQ(bare.device, QStringLiteral("/v/a b.flv"));
}

TEST(MciCommandParse, WordsAndNumbers) {
    const MciCommand p = parseMciCommand(QStringLiteral("PLAY Lumba.FLV from -5 to 200 Repeat"));
    EXPECT_EQ(p.verb, QStringLiteral("play"));
    EXPECT_EQ(p.device, QStringLiteral("Lumba.FLV"));
    EXPECT_EQ(p.numberAfter(QStringLiteral("from")), -5);
    EXPECT_EQ(p.numberAfter(QStringLiteral("to")), 200);
    EXPECT_TRUE(p.has(QStringLiteral("repeat")));
    EXPECT_FALSE(
        parseMciCommand(QStringLiteral("play A from")).numberAfter(QStringLiteral("from")));
    EXPECT_FALSE(parseMciCommand(QStringLiteral("play A to x")).numberAfter(QStringLiteral("to")));
    const MciCommand all = parseMciCommand(QStringLiteral("Close All"));
    EXPECT_EQ(all.verb, QStringLiteral("close"));
    EXPECT_EQ(aliasKey(all.device), QStringLiteral("all"));
    EXPECT_TRUE(parseMciCommand(QStringLiteral("   ")).verb.isEmpty());
}

}  // namespace
