// SPDX-License-Identifier: GPL-3.0-or-later
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/input/Keyboard.h"
#include "platform/input/RemoteKeys.h"

using namespace glassfalls::platform;

TEST(ScriptedKeyboard, KeysChangeJustBeforeTheirAdvance) {
    auto keys = ScriptedKeyboard::parse("# demo\n\n5 Enter down\n3 Left down\n7 Left up\n7 Enter up\n");
    ASSERT_TRUE(keys) << keys.error();
    keys->beforeAdvance(2);
    EXPECT_FALSE(keys->isDown(Key::Left));
    keys->beforeAdvance(3);
    EXPECT_TRUE(keys->isDown(Key::Left));
    EXPECT_FALSE(keys->isDown(Key::Enter));
    keys->beforeAdvance(6);  // advances may be skipped over: 5 still applies
    EXPECT_TRUE(keys->isDown(Key::Enter));
    keys->beforeAdvance(7);
    EXPECT_FALSE(keys->isDown(Key::Left));
    EXPECT_FALSE(keys->isDown(Key::Enter));
    EXPECT_FALSE(keys->isDown(Key::Escape));
}

TEST(ScriptedKeyboard, MalformedLinesAreRejectedWithTheirNumber) {
    for (const char* bad : {"1 Space down\n", "x Enter down\n", "1 Enter pressed\n", "1 Enter down now\n", "1 Enter\n",
                            "-1 Enter down\n"}) {
        const auto keys = ScriptedKeyboard::parse(std::string("0 Escape up\n") + bad);
        ASSERT_FALSE(keys) << bad;
        EXPECT_NE(keys.error().find("line 2"), std::string::npos) << keys.error();
    }
}

// A tap that starts and ends between two frames still counts, for one advance, and for every
// reader of it: each of the eight performers asks for Enter, and a tap taken by the first
// would start one performance instead of eight.
TEST(SdlKeyboard, ATapBetweenTwoAdvancesIsSeenByEveryReaderOfTheNext) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    {
        SdlKeyboard keys;
        keys.beforeAdvance(1);
        EXPECT_FALSE(keys.isDown(Key::Enter));
        for (const Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
            SDL_Event e{};
            e.type = type;
            e.key.keysym.scancode = SDL_SCANCODE_RETURN;
            SDL_PushEvent(&e);
        }
        SDL_PumpEvents();
        EXPECT_FALSE(keys.isDown(Key::Enter)) << "the advance under way keeps its keys";
        keys.beforeAdvance(2);
        for (int performer = 0; performer < 8; ++performer) EXPECT_TRUE(keys.isDown(Key::Enter)) << performer;
        EXPECT_FALSE(keys.isDown(Key::Escape));
        keys.beforeAdvance(3);
        EXPECT_FALSE(keys.isDown(Key::Enter)) << "a tap counts for one advance";
    }
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

// Keys from a show-control system join the keyboard's: a tap for the next advance only, a
// hold until it is let go, and the keyboard's own keys as they are.
TEST(RemoteKeys, TapsLastOneAdvanceHoldsUntilReleased) {
    auto local = ScriptedKeyboard::parse("2 Right down\n");
    ASSERT_TRUE(local) << local.error();
    RemoteKeys keys(*local);
    keys.tap(Key::Enter);
    keys.hold(Key::Left, true);
    EXPECT_FALSE(keys.isDown(Key::Enter)) << "the advance under way keeps its keys";
    keys.beforeAdvance(1);
    EXPECT_TRUE(keys.isDown(Key::Enter));
    EXPECT_TRUE(keys.isDown(Key::Left));
    EXPECT_FALSE(keys.isDown(Key::Right));
    keys.beforeAdvance(2);
    EXPECT_FALSE(keys.isDown(Key::Enter));
    EXPECT_TRUE(keys.isDown(Key::Left));
    EXPECT_TRUE(keys.isDown(Key::Right)) << "the keyboard's own key";
    keys.hold(Key::Left, false);
    keys.beforeAdvance(3);
    EXPECT_FALSE(keys.isDown(Key::Left));
}
