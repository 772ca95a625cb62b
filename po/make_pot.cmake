# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Makes the catalogue template from SOURCES (comma-separated) with xgettext: the texts
# marked by the functions of net/texts.h. Run from the source folder by the target vemol_pot.
string(REPLACE "," ";" SOURCES "${SOURCES}")
execute_process(
  COMMAND ${XGETTEXT} --from-code=UTF-8 --language=C++ --keyword=Translated --keyword=ToTranslate
    --keyword=TranslatedWith:1 --flag=TranslatedWith:1:c-format --package-name=vemol
    --package-version=${VERSION} --msgid-bugs-address=vemol@users.noreply.github.com
    "--copyright-holder=The Vemol developers" --sort-by-file --omit-header -o - ${SOURCES}
  OUTPUT_VARIABLE entries
  COMMAND_ERROR_IS_FATAL ANY)
file(WRITE ${OUTPUT} "# SPDX-FileCopyrightText: 2026 The Vemol developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The template of Vemol's message catalogues. To add a language, copy it to
# <language>.po in this folder, fill in the header and the msgstr lines, and build.
msgid \"\"
msgstr \"\"
\"Project-Id-Version: vemol ${VERSION}\\n\"
\"Report-Msgid-Bugs-To: vemol@users.noreply.github.com\\n\"
\"Language: \\n\"
\"MIME-Version: 1.0\\n\"
\"Content-Type: text/plain; charset=UTF-8\\n\"
\"Content-Transfer-Encoding: 8bit\\n\"

${entries}")
