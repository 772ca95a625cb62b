// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/catalogue.h"

#include <gtest/gtest.h>

namespace vemol::resources {
namespace {

TEST(Catalogue, EmbedsEveryResourceOnceWithItsBytes) {
    const auto& entries = Catalogue::embedded().entries();
    ASSERT_EQ(entries.size(), 19u);
    struct Expected {
        const char* type;
        const char* name;
        int id;
    };
    const Expected expected[] = {
        {"BITMAP", "SAI", -1},     {"BITMAP", "BG", -1},       {"BITMAP", "OPENING", -1},
        {"BITMAP", "BOMBA", -1},   {"BITMAP", "EFFECT", -1},   {"BITMAP", "S10", -1},
        {"BITMAP", "S20", -1},     {"BITMAP", "S30", -1},      {"BITMAP", "S40", -1},
        {"BITMAP", "S50", -1},     {"BITMAP", "S60", -1},      {"WAVE", "HIT.WAV", -1},
        {"WAVE", "MOVE.WAV", -1},  {"WAVE", "SELECT.WAV", -1}, {"WAVE", "START.WAV", -1},
        {"MIDI", "BGM01.MID", -1}, {"AVI", "", 115},           {"ICON", "", 1},
        {"GROUP_ICON", "", 118},
    };
    for (const Expected& e : expected) {
        int matches = 0;
        for (const Entry& entry : entries)
            if (entry.type == e.type && entry.name == e.name && entry.id == e.id) {
                ++matches;
                EXPECT_FALSE(entry.bytes.empty()) << e.type << " " << e.name << e.id;
            }
        EXPECT_EQ(matches, 1) << e.type << " " << e.name << " " << e.id;
    }
}

TEST(Catalogue, FindsNamesAndTypesInAnyCase) {
    const Catalogue& c = Catalogue::embedded();
    auto upper = c.find("MIDI", "BGM01.MID");
    auto lower = c.find("midi", "bgm01.mid");
    ASSERT_TRUE(upper && lower);
    EXPECT_EQ(upper->data(), lower->data());
    EXPECT_EQ(upper->size(), lower->size());
    EXPECT_TRUE(c.find("Wave", "Hit.Wav"));
    EXPECT_TRUE(c.find("bitmap", "sai"));
    // A name is a whole name: no prefixes, no other type's resource.
    EXPECT_FALSE(c.find("BITMAP", "S1"));
    EXPECT_FALSE(c.find("BITMAP", "S100"));
    EXPECT_FALSE(c.find("WAVE", "SAI"));
    EXPECT_FALSE(c.find("BITMAP", "NOPE"));
    EXPECT_FALSE(c.find("BITMAP", ""));
}

TEST(Catalogue, FindsNumberedResourcesById) {
    const Catalogue& c = Catalogue::embedded();
    EXPECT_TRUE(c.find("AVI", 115));
    EXPECT_TRUE(c.find("avi", 115));
    EXPECT_TRUE(c.find("ICON", 1));
    EXPECT_TRUE(c.find("GROUP_ICON", 118));
    EXPECT_FALSE(c.find("AVI", 116));
    EXPECT_FALSE(c.find("ICON", 118));
    // Named resources carry no id, so -1 finds nothing.
    EXPECT_FALSE(c.find("BITMAP", -1));
}

TEST(Catalogue, LooksUpAnyEntryList) {
    static const std::uint8_t a[] = {1, 2, 3}, b[] = {4};
    Catalogue c({Entry{"WAVE", "A.WAV", -1, Bytes(a)}, Entry{"WAVE", "", 7, Bytes(b)}});
    ASSERT_TRUE(c.find("wave", "a.wav"));
    EXPECT_EQ(c.find("wave", "a.wav")->size(), 3u);
    ASSERT_TRUE(c.find("WAVE", 7));
    EXPECT_EQ((*c.find("WAVE", 7))[0], 4);
    EXPECT_FALSE(Catalogue().find("WAVE", "A.WAV"));
}

}  // namespace
}  // namespace vemol::resources
