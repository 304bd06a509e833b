#pragma once
// Checks of a UI text by what matters in it: its key words, in their order.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

// Every word occurs in the text, each after the one before it.
inline ::testing::AssertionResult hasInOrder(const QString& text, const QStringList& words) {
    qsizetype from = 0;
    for (const QString& w : words) {
        const qsizetype at = text.indexOf(w, from);
        if (at < 0)
            return ::testing::AssertionFailure()
                   << "\"" << w.toStdString() << "\" missing or out of order in \""
                   << text.toStdString() << "\"";
        from = at + w.size();
    }
    return ::testing::AssertionSuccess();
}
