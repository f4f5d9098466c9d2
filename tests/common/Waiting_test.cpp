#include "common/Waiting.h"

#include <gtest/gtest.h>

using namespace zorel8z;

TEST(WaitingText, WholeSecondsGoneAgainstTheLimit) {
    const struct {
        Peer peer;
        qint64 elapsedMs;
        int limitMs;
        const char* text;
    } cases[] = {
        {Peer::Station, 8000, 20000, "Очікування відповіді ПЦС… 8 с із 20"},
        {Peer::Panel, 1000, 4000, "Очікування відповіді ППК… 1 с із 4"},
        // A second is shown once it has passed.
        {Peer::Panel, 0, 4000, "Очікування відповіді ППК… 0 с із 4"},
        {Peer::Panel, 999, 4000, "Очікування відповіді ППК… 0 с із 4"},
        {Peer::Station, 29999, 30000, "Очікування відповіді ПЦС… 29 с із 30"},
        // A tick that comes late, or a clock a little ahead of the command's own timer, never
        // shows more than the limit.
        {Peer::Station, 20400, 20000, "Очікування відповіді ПЦС… 20 с із 20"},
        {Peer::Panel, -5, 4000, "Очікування відповіді ППК… 0 с із 4"},
        // A limit that is not whole seconds is rounded up: the command may take its last part.
        {Peer::Panel, 2600, 2500, "Очікування відповіді ППК… 2 с із 3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(waitingText(c.peer, c.elapsedMs, c.limitMs), QString::fromUtf8(c.text)) << c.text;
}
