// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The menu bar and the two dialog templates as declarative data, so the window and
// dialog code builds from them rather than from scattered literals. Rectangles are in
// dialog units; styles keep the classic window-style bit values.
#include <cstdint>
#include <span>
#include <string_view>

namespace vemol::resources {

namespace style {
constexpr std::uint32_t WS_POPUP = 0x80000000u, WS_CHILD = 0x40000000u, WS_VISIBLE = 0x10000000u,
                        WS_CAPTION = 0x00C00000u, WS_BORDER = 0x00800000u, WS_GROUP = 0x00020000u,
                        WS_TABSTOP = 0x00010000u, DS_MODALFRAME = 0x80u, DS_SETFONT = 0x40u, SS_LEFT = 0x0u,
                        SS_ICON = 0x3u, SS_NOPREFIX = 0x80u, BS_PUSHBUTTON = 0x0u, BS_DEFPUSHBUTTON = 0x1u,
                        ES_AUTOHSCROLL = 0x80u, ES_READONLY = 0x800u;
}

enum class ControlClass { Button, Edit, Static };

struct DialogControl {
    ControlClass kind;
    int id;
    std::string_view text;  // UTF-8; for the icon control, the icon id as text
    int x, y, width, height;
    std::uint32_t style;  // without WS_CHILD | WS_VISIBLE, which every control has
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int x, y, width, height;
    std::uint32_t style;
    std::string_view fontName;
    int pointSize;
    std::span<const DialogControl> controls;  // template order = tab order
};

struct MenuItem {
    std::string_view text;            // empty: an item without text, shown as a separator
    int command;                      // command id; 0 for pop-ups
    std::span<const MenuItem> items;  // pop-up contents, empty for plain items
};

const DialogTemplate& versionDialogTemplate();    // dialog 100
const DialogTemplate& sendScoreDialogTemplate();  // dialog 107
std::span<const MenuItem> mainMenuBar();          // menu 102, in template order

// Command identifiers of menu 102 and the controls of dialog 107.
namespace command {
constexpr int Exit = 1001, SendScore = 40001, Version = 40004, RankingPage = 40005, KrmHome = 40006;
}
namespace control {
constexpr int Cansel = 1, Send = 2, Comment = 1000, Name = 1001, BestScore = 1003, HomePage = 1004;
}
constexpr int kIconGroupId = 118;
constexpr int kMovieId = 115;

}  // namespace vemol::resources
