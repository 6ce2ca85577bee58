# SPDX-FileCopyrightText: 2026 Соколов А. В.
# SPDX-License-Identifier: LicenseRef-proprietary
# What the .deb, the .rpm, the software-centre entry and the copyright file say about the
# program: each fact written once, here.

set(LUMERA_SUMMARY "Bohr model of the hydrogen atom for the classroom")
set(LUMERA_SUMMARY_RU "Модель атома водорода по Бору для урока физики")

# Paragraphs, each a list item. Lines stay under 80 characters because Debian and RPM show the
# description as it is written; software centres rejoin them.
set(LUMERA_DESCRIPTION
    "ЛЮМЕРА shows the Bohr model of the hydrogen atom, with a Russian
interface: the nucleus, six electron orbits and the electron circling
the orbit the pupil chooses."
    "Choosing an orbit selects the spectral series that ends on it. The
window then shows the energy-level diagram with the four transitions of
the series, the wavelengths of its first four lines, and the radius,
speed and total energy of the electron on that orbit.")
set(LUMERA_DESCRIPTION_RU
    "ЛЮМЕРА показывает модель атома водорода по Бору: ядро, шесть орбит и
электрон, который движется по выбранной орбите."
    "Выбор орбиты задаёт спектральную серию, которая на ней заканчивается.
Окно показывает схему энергетических уровней с четырьмя переходами
серии, длины волн её первых четырёх линий, а также радиус, скорость и
полную энергию электрона на этой орбите.")

set(LUMERA_VENDOR "Соколов А. В.")
# Where only Latin letters can go (the Windows installer's tables).
set(LUMERA_VENDOR_LATIN "Sokolov A. V.")
set(LUMERA_PACKAGER "ЛЮМЕРА maintainers <lumera@lumera.invalid>")
# SPDX, as the metainfo, the RPM's licence tag and the copyright file's short names all take it.
set(LUMERA_LICENSE "LicenseRef-proprietary")
# The project has no domain of its own yet, so the web address uses the reserved .invalid name;
# change it together with LUMERA_APP_ID once it has one.
set(LUMERA_HOMEPAGE "https://lumera.invalid" CACHE STRING "Web address the packages name")

# The description as Debian and RPM take it: paragraphs apart by an empty line.
list(JOIN LUMERA_DESCRIPTION "\n\n" LUMERA_DESCRIPTION_TEXT)

# The description as the metainfo takes it: each paragraph with its Russian one after it.
set(LUMERA_DESCRIPTION_XML "")
foreach(en ru IN ZIP_LISTS LUMERA_DESCRIPTION LUMERA_DESCRIPTION_RU)
    string(REPLACE "\n" "\n      " en "${en}")
    string(REPLACE "\n" "\n      " ru "${ru}")
    string(APPEND LUMERA_DESCRIPTION_XML "    <p>\n      ${en}\n    </p>\n"
                  "    <p xml:lang=\"ru\">\n      ${ru}\n    </p>\n")
endforeach()
string(STRIP "${LUMERA_DESCRIPTION_XML}" LUMERA_DESCRIPTION_XML)
