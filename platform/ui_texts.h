// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the menu bar and the dialog templates in the player's language. The
// templates keep the game's own texts (the dialogs' Japanese); each has an English key in
// the catalogues, and the Japanese catalogue gives the template's text back exactly.
#include <string>
#include <string_view>

namespace vemol::platform {

// The text to show for a menu item's or a dialog control's template text.
std::string UiText(std::string_view templateText);

}  // namespace vemol::platform
