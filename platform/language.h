// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's language, chosen from the locale (LC_ALL, LC_MESSAGES, LANG) and LANGUAGE,
// before any text is shown.
#include <string>

namespace vemol::platform {

// Where the message catalogues are: share/locale beside the folder of the program
// (installed, and in the build tree), else the folder the game was installed for.
std::string CatalogueFolder();

// Takes the locale from the environment, reads the game's texts from `catalogueFolder`,
// handed out as UTF-8 whatever the locale's own character set.
void SetUpLanguage(const std::string& catalogueFolder);

}  // namespace vemol::platform
